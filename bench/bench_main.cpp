#include <iostream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "bench/benchmarks.h"
#include "bench/summary_table.h"

namespace {

// Passes every run on to the library's own reporter and keeps its time for the closing table.
template <typename Base>
class Summarising final : public Base {
  public:
    explicit Summarising(SummaryTable& table) : table_(table) {}

    void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
        // With repetitions their median is kept, otherwise the single run.
        for (const auto& run : runs) {
            const bool plain = run.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration;
            if (run.error_occurred || (plain && run.repetitions > 1) ||
                (!plain && run.aggregate_name != "median")) {
                continue;
            }
            const double ms =
                run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto fps = run.counters.find("fps");
            table_.add(run.run_name.function_name, ms,
                       fps == run.counters.end() ? 0.0 : double(fps->second));
        }
        Base::ReportRuns(runs);
    }

  private:
    SummaryTable& table_;
};

std::string requestedFormat(int argc, char** argv) {
    const std::string flag = "--benchmark_format=";
    std::string format = "console";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with(flag)) {
            format = arg.substr(flag.size());
        }
    }
    return format;
}

template <typename Reporter>
void runAll(SummaryTable& table, std::ostream& tableOut, bool keptMemory) {
    Summarising<Reporter> reporter(table);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    tableOut << (keptMemory ? "\nfreed memory kept by the allocator\n"
                            : "\nfreed memory handed back as the allocator does by default\n");
    table.print(tableOut);
}

}  // namespace

// By default glibc hands freed large blocks back to the system and faults fresh pages in on the
// next allocation, as in the live program; the literal recipe, which allocates about 40 MB per
// 1920 x 1080 frame, then swings between about 70 and over 200 ms with the heap's history.
// --keep-freed-memory keeps freed memory instead, to compare the work alone at a steady cost.
bool takeKeepFreedMemory(int& argc, char** argv) {
    const std::string flag = "--keep-freed-memory";
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == flag) {
            for (int j = i; j + 1 < argc; ++j) {
                argv[j] = argv[j + 1];
            }
            --argc;
#if defined(__GLIBC__)
            mallopt(M_MMAP_THRESHOLD, 1 << 30);
            mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
            return true;
        }
    }
    return false;
}

int main(int argc, char** argv) {
    const bool keptMemory = takeKeepFreedMemory(argc, argv);
    const std::string format = requestedFormat(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerStageBenchmarks();
    registerIterationBenchmarks();
    registerLiveBenchmarks();
    registerMonitorBenchmarks();
    registerRenderBenchmarks();

    // Machine-readable output stays alone on standard output; the table then goes to standard
    // error.
    SummaryTable table;
    if (format == "json") {
        runAll<benchmark::JSONReporter>(table, std::cerr, keptMemory);
    } else {
        runAll<benchmark::ConsoleReporter>(table, std::cout, keptMemory);
    }
    benchmark::Shutdown();
    return 0;
}
