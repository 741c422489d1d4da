#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include <benchmark/benchmark.h>

#include "app/frame_work.h"
#include "app/snapshot.h"
#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "bench/null_sink.h"
#include "tests/reference/literal_iteration.h"

namespace {

// Keeps what each window was shown.
class WindowKeeper final : public ImageSink {
  public:
    void show(const std::string& title, const cv::Mat& image) override { shown[title] = image; }
    std::map<std::string, cv::Mat> shown;
};

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

// What the key s costs: a snapshot of a frame's seven windows, the frame and its numbers, written
// into a new folder under the temporary folder each time.
void runSnapshots(benchmark::State& state, cv::Size size) {
    FrameImages images;
    images.frame = benchFrames(size)[0];
    WindowKeeper kept;
    processFrame(images, 30.0, kept);
    const Snapshot snapshot{kept.shown, images.frame, images.gray, images.motion, 1, "camera"};
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() / "velmora-bench-shots";
    std::ostringstream lines;
    std::streambuf* saved = std::cout.rdbuf(lines.rdbuf());
    std::tm at{};
    for (auto _ : state) {
        ++at.tm_sec;  // a folder of its own each time
        saveSnapshot(snapshot, base, at);
    }
    std::cout.rdbuf(saved);
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
}

}  // namespace

void registerIterationBenchmarks() {
    inMilliseconds(benchmark::RegisterBenchmark("snapshot/product/1920x1080", runSnapshots,
                                                cv::Size(1920, 1080)));
    for (const cv::Size size : benchSizes()) {
        inMilliseconds(benchmark::RegisterBenchmark(benchName("iteration", "literal", size).c_str(),
                                                    runIterations, size, &literal::processFrame));
        inMilliseconds(benchmark::RegisterBenchmark(
            benchName("iteration", "product", size).c_str(), runIterations, size,
            [](FrameImages& i, double fps, ImageSink& s) { processFrame(i, fps, s); }));
    }
}
