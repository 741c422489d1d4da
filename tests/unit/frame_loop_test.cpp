#include <algorithm>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "app/display.h"
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

struct AppRun {
    int status = 0;
    std::string chosen;
    std::string err;
    RecordingWindows windows;
};

// The program on `input`, with a source of `script` (none when `made` is false) for either answer;
// `stamps` are handed out in order as the clock, the last one repeated.
AppRun run(const std::string& input, const std::vector<cv::Mat>& script, std::deque<int> keys = {},
           bool made = true, std::vector<std::int64_t> stamps = {}) {
    ConsoleCapture console;
    std::istringstream in(input);
    std::ostringstream out;
    AppRun result;
    result.windows.keys = std::move(keys);
    const auto factory = [&](const char* name) -> SourceFactory {
        return [&, name]() -> std::unique_ptr<FrameSource> {
            result.chosen = name;
            auto source = made ? std::make_unique<ScriptedSource>(script) : nullptr;
            if (source) {
                // No image of an iteration may share the frame when the next one is read into it.
                source->beforeRead = [](const cv::Mat& frame) {
                    EXPECT_TRUE(frame.u == nullptr || frame.u->refcount == 1);
                };
            }
            return source;
        };
    };
    std::size_t next = 0;
    const MonotonicClock clock = [&] {
        return stamps.empty() ? steadyNowNs() : stamps[std::min(next++, stamps.size() - 1)];
    };
    const SourceFactories factories{factory("camera"), factory("monitor")};
    result.status = runVelmora(in, out, factories, result.windows, clock);
    result.err = console.err();
    return result;
}

std::vector<std::string> callsFor(const std::string& verb, const std::string& size) {
    std::vector<std::string> calls;
    for (const std::string& title : kWindowTitles) {
        calls.push_back(verb + " " + title + size);
    }
    return calls;
}

// Both halving limits must be reached: the windows get the integer halves, the images what the
// linear resize makes. A later frame of another size resizes nothing. Each picture is judged by
// its own size: the spectrum's padding can reach the limits where the frame does not.
TEST(FrameLoop, WindowsAreSizedFromTheFirstFrameAndImagesHalvedAtBothLimits) {
    const struct {
        cv::Size frame, window, spectrum;  // the spectrum as shown
    } cases[] = {
        {{1023, 768}, {1023, 768}, {512, 384}},  // padded to 1024 x 768
        {{1024, 767}, {1024, 767}, {512, 384}},  {{1024, 768}, {512, 384}, {512, 384}},
        {{1025, 769}, {512, 384}, {540, 400}},  // padded to 1080 x 800
        {{1366, 768}, {683, 384}, {720, 384}},  // padded to 1440 x 768
        {{1000, 700}, {1000, 700}, {1000, 720}},
    };
    for (const auto& [size, window, spectrum] : cases) {
        SCOPED_TRACE(size);
        cv::Mat frame(size, CV_8UC3);
        cv::randu(frame, 0, 256);
        cv::Mat shown = frame;
        if (window != size) {
            cv::resize(frame, shown, cv::Size(), 0.5, 0.5, cv::INTER_LINEAR);
        }
        AppRun changing = run("1", {frame, cv::Mat(200, 300, CV_8UC3, cv::Scalar(1))});
        std::erase_if(changing.windows.calls,
                      [](const auto& c) { return !c.starts_with("resize"); });
        EXPECT_EQ(changing.windows.calls,
                  callsFor("resize", " " + std::to_string(window.width) + "x" +
                                         std::to_string(window.height)));
        AppRun single = run("1", {frame});
        EXPECT_TRUE(sameImage(single.windows.last[kFrameWindow], shown));
        for (const std::string& title : kWindowTitles) {
            EXPECT_EQ(single.windows.last[title].size(),
                      title == kSpectrumWindow ? spectrum : shown.size())
                << title;
        }
        // Below the limits no pixel is copied.
        EXPECT_EQ(downscaleForDisplay(frame).data == frame.data, window == size);
    }
}

// The first stamp is taken before the first read, then one per iteration.
TEST(FrameLoop, TheHistogramWindowsPrintTheSmoothedFrameRate) {
    constexpr std::int64_t kMs = 1'000'000;
    const cv::Mat frame(300, 400, CV_8UC3, cv::Scalar(0, 100, 200));  // wide enough for the text
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
            SCOPED_TRACE(::testing::Message()
                         << "iteration " << n << " of stamps " << c.stamps.size());
            AppRun r = run("1", std::vector<cv::Mat>(n, frame), {}, true, c.stamps);
            const cv::Mat expected =
                renderGrayHistogram(r.windows.last[kGrayWindow], {400, 300}, c.fps[n - 1]);
            EXPECT_TRUE(sameImage(r.windows.last[kGrayHistogramWindow], expected))
                << "iteration " << n << " expected " << c.fps[n - 1];
        }
    }
}

// Only the low eight bits of a key count; an error inside an iteration is folded into one line.
// The source is made for the answer, and released however the run ends.
TEST(VelmoraApp, ExitStatusLastLineAndSourceReleaseForEveryWayTheRunEnds) {
    const std::string failed = "error: failed to capture\n";
    std::vector<cv::Mat> five;
    for (int i = 0; i < 5; ++i) {
        five.emplace_back(48, 64, CV_8UC3, cv::Scalar(i, 100, 200));
    }
    const std::vector<cv::Mat> none;
    const std::vector<cv::Mat> bad = {cv::Mat(48, 64, CV_8UC2, cv::Scalar(1, 2))};
    const struct {
        std::string input;
        const std::vector<cv::Mat>& script;
        std::deque<int> keys;
        bool made;
        int status;
        std::string chosen;
        int shown;
        std::string err;
    } cases[] = {
        {"", five, {}, true, 1, "", 0, ""},
        {"1\n", five, {}, false, 1, "camera", 0, ""},
        {"x 2\n", five, {-1, 27}, true, 0, "monitor", 2, ""},
        {"1", five, {0x100000 | 'q'}, true, 0, "camera", 1, ""},
        {"1", five, {'Q', 'a', 225, 13, 0x100000 | 'Q'}, true, 0, "camera", 5, failed},
        {"1", none, {}, true, 0, "camera", 0, failed},
        {"1", bad, {}, true, 1, "camera", 0, "error: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "input " << ::testing::PrintToString(c.input));
        const AppRun r = run(c.input, c.script, c.keys, c.made);
        EXPECT_EQ(r.status, c.status) << c.input;
        EXPECT_EQ(r.chosen, c.chosen) << c.input;
        EXPECT_EQ(r.windows.shows.count(kFrameWindow) ? r.windows.shows.at(kFrameWindow) : 0,
                  c.shown);
        EXPECT_TRUE(c.err.empty() ? r.err.empty() : r.err.starts_with(c.err)) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.empty() ? std::string::npos : r.err.size() - 1);
        EXPECT_EQ(r.err.find("  "), std::string::npos) << r.err;
        const std::vector<std::string>& calls = r.windows.calls;
        if (c.made && !c.chosen.empty()) {
            EXPECT_EQ(std::vector(calls.begin(), calls.begin() + 7), callsFor("create", ""));
            EXPECT_EQ(calls.back(), "destroy");
        } else {
            EXPECT_TRUE(calls.empty());
        }
        for (const cv::Mat& frame : c.script) {  // the source's own references go with it
            EXPECT_EQ(frame.u->refcount, 1) << "the source outlived the run: " << c.input;
        }
    }
}

TEST(SourcePrompt, AsksUntilTheWordOneOrTwoAndLeavesTheRestUnread) {
    const std::string ask = "1: USB capture\n2: Monitor capture\n> ";
    const struct {
        std::string input;
        SourceChoice choice;
        std::string output;
        std::string unread;
    } cases[] = {
        {"", SourceChoice::None, ask, ""},
        {"  \t 2\n", SourceChoice::Monitor, ask, "\n"},
        {"x 2\n", SourceChoice::Monitor, ask + "Enter 1 or 2\n\n" + ask, "\n"},
        {"1 2\n", SourceChoice::Camera, ask, " 2\n"},
        {"12 01 1. +1 one Q 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 2", SourceChoice::Monitor, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.input));
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
