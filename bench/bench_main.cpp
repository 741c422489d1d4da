#include <iostream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/benchmarks.h"
#include "bench/summary_table.h"

namespace {

// Passes every run on to the library's own reporter and keeps its time for the closing table.
template <typename Base>
class Summarising final : public Base {
  public:
    explicit Summarising(SummaryTable& table) : table_(table) {}

    void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
        for (const auto& run : runs) {
            const bool plain = run.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration;
            if (run.error_occurred || (plain && run.repetitions > 1) ||
                (!plain && run.aggregate_name != "median")) {
                continue;
            }
            const double ms =
                run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto fps = run.counters.find("fps");
            std::string name = run.run_name.function_name;
            table_.add(name, ms, fps == run.counters.end() ? 0.0 : double(fps->second));
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

int main(int argc, char** argv) {
    const std::string format = requestedFormat(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerStageBenchmarks();
    registerIterationBenchmarks();
    registerLiveBenchmarks();

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
