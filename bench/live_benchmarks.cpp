#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include <benchmark/benchmark.h>

#include "app/frame_loop.h"
#include "app/window_layer.h"
#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "sources/frame_source.h"

namespace {

constexpr int kLiveFrames = 300;

// Hands out `count` frames, cycling through one scene, then fails like a lost camera.
class SyntheticSource final : public FrameSource {
  public:
    SyntheticSource(cv::Size size, int count) : frames_(benchFrames(size)), left_(count) {}

    bool read(cv::Mat& out) override {
        if (left_ == 0) {
            return false;
        }
        --left_;
        frames_[next_].copyTo(out);
        next_ = (next_ + 1) % frames_.size();
        return true;
    }

  private:
    const std::vector<cv::Mat>& frames_;
    int left_;
    std::size_t next_ = 0;
};

// The whole live loop with the seven real windows: read, process, show, poll the keyboard.
void runLiveLoop(benchmark::State& state, cv::Size size) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("no DISPLAY: the live loop needs windows");
        return;
    }
    benchFrames(size);
    double seconds = 0.0;
    int frames = 0;
    for (auto _ : state) {
        SyntheticSource source(size, kLiveFrames);
        HighguiWindows windows;
        // The loop reports the end of the source as a failed capture; that line is expected.
        std::ostringstream silenced;
        std::streambuf* saved = std::cerr.rdbuf(silenced.rdbuf());
        const auto start = std::chrono::steady_clock::now();
        runFrameLoop(source, windows);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cerr.rdbuf(saved);
        frames += kLiveFrames;
    }
    state.counters["fps"] = frames / seconds;
}

}  // namespace

void registerLiveBenchmarks() {
    for (const cv::Size size : {cv::Size(1280, 720), cv::Size(1920, 1080)}) {
        inMilliseconds(benchmark::RegisterBenchmark(benchName("live", "highgui", size).c_str(),
                                                    runLiveLoop, size))
            ->Iterations(1)
            ->Repetitions(1);
    }
}
