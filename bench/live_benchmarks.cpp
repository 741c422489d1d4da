#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include <benchmark/benchmark.h>

#include "app/display.h"
#include "app/frame_loop.h"
#include "app/window_layer.h"
#include "app/window_titles.h"
#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "sources/frame_source.h"
#include "tests/reference/literal_iteration.h"

namespace {

constexpr int kLiveFrames = 150;

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
    std::string_view kind() const override { return "camera"; }

  private:
    const std::vector<cv::Mat>& frames_;
    int left_;
    std::size_t next_ = 0;
};

using Loop = void (*)(FrameSource&, WindowLayer&);

void runProductLoop(FrameSource& source, WindowLayer& windows, bool scopes) {
    // The loop reports the end of the source as a failed capture; that line is expected.
    std::ostringstream silenced;
    std::streambuf* saved = std::cerr.rdbuf(silenced.rdbuf());
    LoopSettings settings;
    settings.scopes = scopes;
    runFrameLoop(source, windows, steadyNowNs, settings);
    std::cerr.rdbuf(saved);
}

void productLoop(FrameSource& source, WindowLayer& windows) {
    runProductLoop(source, windows, false);
}

// The ten windows: the seven and the three scopes.
void scopesLoop(FrameSource& source, WindowLayer& windows) {
    runProductLoop(source, windows, true);
}

// The literal recipe's frame in the same windows, created and sized as the product's loop does.
void literalLoop(FrameSource& source, WindowLayer& windows) {
    for (const std::string& title : kWindowTitles) {
        windows.create(title);
    }
    FrameImages images;
    for (bool first = true; source.read(images.frame); first = false) {
        if (first) {
            const cv::Size size = windowSizeFor(images.frame.size());
            for (const std::string& title : kWindowTitles) {
                windows.resize(title, size.width, size.height);
            }
        }
        literal::processFrame(images, 30.0, windows);
        windows.pollKey();
    }
    windows.destroyAll();
}

// The whole live loop with the seven real windows: read, process, show, poll the keyboard.
void runLiveLoop(benchmark::State& state, cv::Size size, Loop loop) {
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
        const auto start = std::chrono::steady_clock::now();
        loop(source, windows);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        frames += kLiveFrames;
    }
    state.counters["fps"] = frames / seconds;
}

}  // namespace

void registerLiveBenchmarks() {
    for (const cv::Size size : {cv::Size(1280, 720), cv::Size(1920, 1080)}) {
        for (const auto& [implementation, loop] :
             {std::pair{"literal", &literalLoop}, std::pair{"highgui", &productLoop},
              std::pair{"scopes", &scopesLoop}}) {
            inMilliseconds(
                benchmark::RegisterBenchmark(benchName("live", implementation, size).c_str(),
                                             runLiveLoop, size, loop))
                ->Iterations(1)
                ->Repetitions(3);
        }
    }
}
