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
        // With repetitions the fastest one is kept, otherwise the single run.
        for (const auto& run : runs) {
            const bool plain = run.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration;
            if (run.error_occurred || (plain && run.repetitions > 1) ||
                (!plain && run.aggregate_name != "min")) {
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
void runAll(SummaryTable& table, std::ostream& tableOut) {
    Summarising<Reporter> reporter(table);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    tableOut.flush();
    table.print(tableOut);
}

}  // namespace

// By default glibc hands freed large blocks back to the system and faults fresh pages in on the
// next allocation, so the literal recipe, which allocates about 40 MB per 1920 x 1080 frame,
// swings between about 70 and over 200 ms depending on the heap's history. Keeping freed memory
// measures every implementation at its steady, cheaper cost.
void keepFreedMemory() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

int main(int argc, char** argv) {
    keepFreedMemory();
    const std::string format = requestedFormat(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerStageBenchmarks();
    registerIterationBenchmarks();
    registerLiveBenchmarks();
    registerMonitorBenchmarks();

    // Machine-readable output stays alone on standard output; the table then goes to standard
    // error.
    SummaryTable table;
    if (format == "json") {
        runAll<benchmark::JSONReporter>(table, std::cerr);
    } else {
        runAll<benchmark::ConsoleReporter>(table, std::cout);
    }
    benchmark::Shutdown();
    return 0;
}
