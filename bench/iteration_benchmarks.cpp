#include <benchmark/benchmark.h>

#include "app/frame_work.h"
#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "bench/null_sink.h"
#include "tests/reference/literal_iteration.h"

namespace {

using ProcessFrame = void (*)(FrameImages&, double, ImageSink&);

// Whole frames without windows, cycling through consecutive frames so that the motion view
// compares real neighbours.
void runIterations(benchmark::State& state, cv::Size size, ProcessFrame process) {
    const std::vector<cv::Mat>& frames = benchFrames(size);
    FrameImages images;
    NullSink sink;
    std::size_t next = 0;
    for (auto _ : state) {
        images.frame = frames[next];
        next = (next + 1) % frames.size();
        process(images, 30.0, sink);
    }
}

}  // namespace

void registerIterationBenchmarks() {
    for (const cv::Size size : benchSizes()) {
        inMilliseconds(benchmark::RegisterBenchmark(benchName("iteration", "literal", size).c_str(),
                                                    runIterations, size, &literal::processFrame));
        inMilliseconds(benchmark::RegisterBenchmark(benchName("iteration", "product", size).c_str(),
                                                    runIterations, size, &processFrame));
    }
}
