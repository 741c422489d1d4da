#include <cstdlib>
#include <iostream>
#include <sstream>

#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "sources/monitor_source.h"

namespace {

// One read of a live monitor source: the grab of the monitor's pixels from the display server
// and their conversion to a BGR frame, as the live loop does it each frame.
void runScreenGrab(benchmark::State& state, cv::Size size) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("no DISPLAY: a monitor needs a display");
        return;
    }
    // The factory's status line would break the machine-readable output.
    std::ostringstream status;
    std::streambuf* saved = std::cout.rdbuf(status.rdbuf());
    const platform::MonitorRect whole{0, 0, size.width, size.height};
    const std::unique_ptr<FrameSource> source = createScreenSource({whole, whole, false, 1}, 2);
    std::cout.rdbuf(saved);
    cv::Mat frame;
    if (!source || !source->read(frame)) {
        state.SkipWithError("the display has no area of this size to grab");
        return;
    }
    for (auto _ : state) {
        if (!source->read(frame)) {
            state.SkipWithError("a grab failed");
            break;
        }
        benchmark::DoNotOptimize(frame.data);
    }
}

}  // namespace

void registerMonitorBenchmarks() {
    const cv::Size size(1920, 1080);
    inMilliseconds(benchmark::RegisterBenchmark(benchName("screen-grab", "x11", size).c_str(),
                                                runScreenGrab, size));
}
