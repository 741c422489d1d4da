#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <opencv2/videoio.hpp>

#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "render/render.h"
#include "tests/reference/synthetic_scene.h"

namespace {

namespace fs = std::filesystem;

constexpr int kClipFrames = 150;

fs::path benchFolder() {
    return fs::temp_directory_path() / "velmora-bench";
}

// Five seconds of the synthetic scene at 30 frames per second, H.264 in MP4 as most recordings
// are. Writing it takes about 15 s at 1920 x 1080, so it is kept in the temporary folder for
// later runs (put in place whole, under its final name only once complete).
fs::path benchClip(cv::Size size) {
    const fs::path clip = benchFolder() / ("clip-" + sizeName(size) + ".mp4");
    if (fs::exists(clip)) {
        return clip;
    }
    fs::create_directories(benchFolder());
    const fs::path partial = benchFolder() / ("partial-" + sizeName(size) + ".mp4");
    cv::VideoWriter writer(partial.string(), cv::CAP_FFMPEG,
                           cv::VideoWriter::fourcc('a', 'v', 'c', '1'), 30, size);
    for (int i = 0; i < kClipFrames; ++i) {
        writer.write(makeSyntheticFrame(size, i));
    }
    writer.release();
    fs::rename(partial, clip);
    return clip;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A plain read loop of the image library over the clip: the pace of the decoder.
void decodeClip(benchmark::State& state, cv::Size size) {
    const fs::path clip = benchClip(size);
    double seconds = 0.0;
    int frames = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        cv::VideoCapture video(clip.string(), cv::CAP_FFMPEG);
        for (cv::Mat frame; video.read(frame);) {
            ++frames;
        }
        seconds += secondsSince(start);
    }
    state.counters["fps"] = frames / seconds;
}

// velmora-render over the clip with `options` before OUTDIR, the whole run from the command line
// on: opening the input, every frame and the files written.
void renderClip(benchmark::State& state, cv::Size size, std::vector<std::string> options) {
    const fs::path clip = benchClip(size);
    std::vector<std::string> args = std::move(options);
    for (std::string& arg : args) {
        if (arg == "STATS") {
            arg = (benchFolder() / "stats.csv").string();
        }
    }
    args.push_back((benchFolder() / "out").string());
    args.push_back(clip.string());
    double seconds = 0.0;
    int frames = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        if (runRender(args, {out, err, false}, "bench") != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        seconds += secondsSince(start);
        frames += kClipFrames;
    }
    state.counters["fps"] = frames / seconds;
}

}  // namespace

void registerRenderBenchmarks() {
    const cv::Size size(1920, 1080);
    const auto add = [&](const char* implementation, auto function, auto... extra) {
        inMilliseconds(
            benchmark::RegisterBenchmark(benchName("render", implementation, size).c_str(),
                                         function, size, extra...))
            ->Iterations(1)
            ->Repetitions(3);
    };
    add("decode", decodeClip);
    add("stats", renderClip, std::vector<std::string>{"--fps", "30", "--stats", "STATS"});
    add("every-frame", renderClip,
        std::vector<std::string>{"--fps", "30", "--every-frame", "--stats", "STATS"});
}
