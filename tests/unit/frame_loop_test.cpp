#include <algorithm>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "app/frame_loop.h"
#include "app/source_prompt.h"
#include "app/velmora_app.h"
#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "tests/support/console_capture.h"
#include "tests/support/image_checks.h"
#include "tests/support/recording_windows.h"
#include "tests/support/scripted_source.h"

namespace {

std::vector<cv::Mat> frames(int count, cv::Size size) {
    std::vector<cv::Mat> out;
    for (int i = 0; i < count; ++i) {
        out.emplace_back(size, CV_8UC3, cv::Scalar(i * 10, 100, 200));
    }
    return out;
}

struct LoopRun {
    LoopEnd end;
    std::string err;
    int reads = 0;
    RecordingWindows windows;
};

// `stamps` are handed out in order as the clock, the last one repeated.
LoopRun runLoop(std::vector<cv::Mat> script, std::deque<int> keys = {},
                std::vector<std::int64_t> stamps = {}) {
    ConsoleCapture console;
    ScriptedSource source(std::move(script));
    LoopRun run;
    run.windows.keys = std::move(keys);
    std::size_t next = 0;
    const MonotonicClock clock = [&] {
        return stamps.empty() ? steadyNowNs() : stamps[std::min(next++, stamps.size() - 1)];
    };
    run.end = runFrameLoop(source, run.windows, clock);
    run.err = console.err();
    run.reads = source.reads;
    return run;
}

std::string sizeText(cv::Size size) {
    return " " + std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::vector<std::string> callsFor(const std::string& verb, const std::string& size) {
    std::vector<std::string> calls;
    for (const std::string& title : kWindowTitles) {
        calls.push_back(verb + " " + title + size);
    }
    return calls;
}

// Both halving limits must be reached: the windows get the integer halves, the images what the
// linear resize makes. A later frame of another size resizes nothing.
TEST(FrameLoop, WindowsAreSizedFromTheFirstFrameAndImagesHalvedAtBothLimits) {
    const cv::Size cases[][2] = {{{1023, 768}, {1023, 768}},
                                 {{1024, 767}, {1024, 767}},
                                 {{1024, 768}, {512, 384}},
                                 {{1025, 769}, {512, 384}}};
    for (const auto& [size, window] : cases) {
        cv::Mat frame(size, CV_8UC3);
        cv::randu(frame, 0, 256);
        cv::Mat shown = frame;
        if (window != size) {
            cv::resize(frame, shown, cv::Size(), 0.5, 0.5, cv::INTER_LINEAR);
        }
        LoopRun run = runLoop({frame, cv::Mat(200, 300, CV_8UC3, cv::Scalar(1))});
        std::erase_if(run.windows.calls,
                      [](const auto& call) { return !call.starts_with("resize"); });
        EXPECT_EQ(run.windows.calls, callsFor("resize", sizeText(window)));
        EXPECT_TRUE(sameImage(runLoop({frame}).windows.last[kFrameWindow], shown)) << size;
    }
}

TEST(FrameLoop, OnlyQAndEscapeInTheLowEightBitsEndTheRunQuietly) {
    const struct {
        std::deque<int> keys;
        int reads;
    } cases[] = {
        {{-1, 'q'}, 2}, {{27}, 1}, {{0x100000 | 'q'}, 1}, {{'Q', 'a', 225, 13, 0x100000 | 'Q'}, 6}};
    for (const auto& c : cases) {
        const LoopRun run = runLoop(frames(5, {64, 48}), c.keys);
        const bool quit = c.reads < 6;
        EXPECT_EQ(run.end, quit ? LoopEnd::Key : LoopEnd::CaptureFailed);
        EXPECT_EQ(run.reads, c.reads);
        EXPECT_EQ(run.err, quit ? "" : "error: failed to capture\n");
        EXPECT_EQ(run.windows.calls.back(), "destroy");
    }
}

TEST(FrameLoop, AFailedFirstReadOrAnErrorEndsTheRunWithOneLine) {
    const LoopRun none = runLoop({});
    EXPECT_EQ(none.end, LoopEnd::CaptureFailed);
    EXPECT_EQ(none.err, "error: failed to capture\n");
    std::vector<std::string> calls = callsFor("create", "");
    calls.push_back("destroy");
    EXPECT_EQ(none.windows.calls, calls);

    // The image library's messages span several lines; the error line folds them into one.
    const LoopRun failed = runLoop({cv::Mat(48, 64, CV_8UC2, cv::Scalar(1, 2))});
    EXPECT_EQ(failed.end, LoopEnd::Error);
    EXPECT_TRUE(failed.err.starts_with("error: ")) << failed.err;
    EXPECT_EQ(failed.err.find('\n'), failed.err.size() - 1) << failed.err;
    EXPECT_EQ(failed.err.find("  "), std::string::npos) << failed.err;
    EXPECT_EQ(failed.windows.calls.back(), "destroy");
}

// The first stamp is taken before the first read, then one per iteration.
TEST(FrameLoop, TheHistogramWindowsPrintTheSmoothedFrameRate) {
    constexpr std::int64_t kMs = 1'000'000;
    const struct {
        std::vector<std::int64_t> stamps;
        double fps[3];  // after iterations 1, 2, 3
    } cases[] = {
        {{0, 100 * kMs, 140 * kMs, 180 * kMs}, {10.0, 13.0, 15.4}},  // 10 per second, then 25
        {{0, 100 * kMs, 100 * kMs}, {10.0, 10.0, 10.0}},             // equal stamps keep the rate
        {{5}, {0.0, 0.0, 0.0}},
    };
    for (const auto& c : cases) {
        for (int n = 1; n <= 3; ++n) {
            LoopRun run = runLoop(frames(n, {64, 48}), {}, c.stamps);
            const cv::Mat expected =
                renderGrayHistogram(run.windows.last[kGrayWindow], {64, 48}, c.fps[n - 1]);
            EXPECT_TRUE(sameImage(run.windows.last[kGrayHistogramWindow], expected))
                << "iteration " << n << " expected " << c.fps[n - 1];
        }
    }
}

TEST(FrameLoop, NoImageOfAnIterationSharesTheFrameWhenTheNextOneIsRead) {
    for (const cv::Size size : {cv::Size(800, 600), cv::Size(1280, 1024)}) {
        ConsoleCapture console;
        ScriptedSource source(frames(3, size));
        int checked = 0;
        source.beforeRead = [&](const cv::Mat& frame) {
            checked += frame.u != nullptr;
            EXPECT_TRUE(frame.u == nullptr || frame.u->refcount == 1) << size;
        };
        RecordingWindows windows;
        runFrameLoop(source, windows);
        EXPECT_EQ(checked, 3) << size;
    }
}

TEST(VelmoraApp, ExitStatusAndSourceReleaseForEveryWayTheRunEnds) {
    const struct {
        std::string input;
        std::vector<cv::Mat> frames;
        std::deque<int> keys;
        int status;
        std::string chosen;
        int shown;
    } cases[] = {
        {"", frames(1, {64, 48}), {}, 1, "", 0},
        {"1\n", {}, {}, 1, "camera", 0},  // no frames: the factory gives no source
        {"x 2\n", frames(3, {64, 48}), {}, 0, "monitor", 3},
        {"1", frames(3, {64, 48}), {-1, 27}, 0, "camera", 2},
        {"1", {cv::Mat(4, 4, CV_8UC2, cv::Scalar(1))}, {}, 1, "camera", 0},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        std::istringstream in(c.input);
        std::ostringstream out;
        RecordingWindows windows;
        windows.keys = c.keys;
        std::string chosen;
        const auto factory = [&](const char* name) -> SourceFactory {
            return [&, name]() -> std::unique_ptr<FrameSource> {
                chosen = name;
                return c.frames.empty() ? nullptr : std::make_unique<ScriptedSource>(c.frames);
            };
        };
        EXPECT_EQ(runVelmora(in, out, {factory("camera"), factory("monitor")}, windows), c.status)
            << c.input;
        EXPECT_EQ(chosen, c.chosen) << c.input;
        EXPECT_EQ(windows.shows[kFrameWindow], c.shown) << c.input;
        EXPECT_EQ(windows.calls.empty(), c.frames.empty() || c.chosen.empty()) << c.input;
        // The source's own references to the frames go with it.
        for (const cv::Mat& frame : c.frames) {
            EXPECT_EQ(frame.u->refcount, 1) << "the source outlived the run: " << c.input;
        }
    }
}

TEST(SourcePrompt, AsksUntilTheWordOneOrTwoAndLeavesTheRestUnread) {
    const std::string ask = "1: USB capture\n2: Monitor capture\n> ";
    const std::string again = ask + "Enter 1 or 2\n\n" + ask;
    const struct {
        std::string input;
        SourceChoice choice;
        std::string output;
        std::string unread;
    } cases[] = {
        {"", SourceChoice::None, ask, ""},
        {"  \t 2\n", SourceChoice::Monitor, ask, "\n"},
        {"\n\n1", SourceChoice::Camera, ask, ""},
        {"x 2\n", SourceChoice::Monitor, again, "\n"},
        {"1 2\n", SourceChoice::Camera, ask, " 2\n"},
        {"hello", SourceChoice::None, again, ""},
        {"12 01 1. +1 one Q 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 2", SourceChoice::Monitor, "", ""},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.input);
        std::ostringstream out;
        EXPECT_EQ(promptForSource(in, out), c.choice) << c.input;
        if (!c.output.empty()) {
            EXPECT_EQ(out.str(), c.output) << c.input;
            in.clear();
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.unread) << c.input;
        }
    }
}

}  // namespace
