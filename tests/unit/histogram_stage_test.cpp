#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "app/histogram_stage.h"
#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"
#include "tests/support/console_capture.h"
#include "tests/support/recording_windows.h"
#include "tests/support/scripted_source.h"

namespace {

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

cv::Mat colourFrame(cv::Size size) {
    cv::Mat frame(size, CV_8UC3, cv::Scalar(30, 120, 210));
    frame(cv::Rect(0, 0, size.width / 2, size.height / 3)).setTo(cv::Scalar(200, 60, 5));
    return frame;
}

// Hands out the given stamps in order, then repeats the last one.
MonotonicClock scriptedClock(std::vector<std::int64_t> stamps) {
    auto next = std::make_shared<std::size_t>(0);
    return [stamps = std::move(stamps), next] {
        const std::size_t i = std::min(*next, stamps.size() - 1);
        ++*next;
        return stamps[i];
    };
}

// Runs the loop over the frames and returns the windows it drew into.
RecordingWindows runLoop(std::vector<cv::Mat> frames, const MonotonicClock& clock = steadyNowNs) {
    ConsoleCapture console;
    ScriptedSource source(std::move(frames));
    RecordingWindows windows;
    runFrameLoop(source, windows, clock);
    return windows;
}

TEST(HistogramStage, ShowsTheColourWindowThenTheGrayWindowSizedByTheShownGray) {
    const cv::Mat frame = colourFrame({300, 200});
    cv::Mat gray(150, 250, CV_8UC1, cv::Scalar(77));
    RecordingWindows windows;
    runHistogramStage(frame, gray, 12.5, windows);
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"show Histogram - RGB 250x150",
                                                       "show Histogram - Gray 250x150"}));
    EXPECT_TRUE(
        same(windows.last[kRgbHistogramWindow], renderRgbHistogram(frame, {250, 150}, 12.5)));
    EXPECT_TRUE(
        same(windows.last[kGrayHistogramWindow], renderGrayHistogram(gray, {250, 150}, 12.5)));
}

TEST(HistogramStage, ImagesHaveTheDisplaySizeOfEachFrame) {
    const struct {
        cv::Size frame;
        cv::Size shown;
    } cases[] = {{{1280, 1024}, {640, 512}},
                 {{800, 600}, {800, 600}},
                 {{1, 1}, {1, 1}},
                 {{4000, 3000}, {2000, 1500}}};
    for (const auto& c : cases) {
        RecordingWindows windows = runLoop({colourFrame(c.frame)});
        EXPECT_EQ(windows.last[kRgbHistogramWindow].size(), c.shown) << c.frame;
        EXPECT_EQ(windows.last[kGrayHistogramWindow].size(), c.shown) << c.frame;
        EXPECT_EQ(windows.last[kGrayHistogramWindow].type(), CV_8UC3);
    }
}

TEST(HistogramStage, AFrameSizeChangeGivesImagesOfTheNewSizeFromTheNextFrame) {
    RecordingWindows windows =
        runLoop({colourFrame({1280, 1024}), colourFrame({1280, 1024}), colourFrame({800, 600})});
    EXPECT_EQ(windows.callsStartingWith("show Histogram - "),
              (std::vector<std::string>{
                  "show Histogram - RGB 640x512", "show Histogram - Gray 640x512",
                  "show Histogram - RGB 640x512", "show Histogram - Gray 640x512",
                  "show Histogram - RGB 800x600", "show Histogram - Gray 800x600"}));
    EXPECT_EQ(windows.callsStartingWith("resize Histogram - Gray"),
              std::vector<std::string>{"resize Histogram - Gray 640x512"});
}

TEST(HistogramStage, CountsTheDisplayedFrameNotTheFullOne) {
    // Alternate black and white columns: halved, every pixel becomes a middle gray.
    cv::Mat frame(1024, 1280, CV_8UC3, cv::Scalar::all(0));
    for (int x = 1; x < frame.cols; x += 2) {
        frame.col(x).setTo(cv::Scalar::all(255));
    }
    RecordingWindows windows = runLoop({frame}, scriptedClock({0, 100'000'000}));
    const cv::Mat& shownFrame = windows.last[kFrameWindow];
    const cv::Mat& shownGray = windows.last[kGrayWindow];
    double low = 0.0;
    double high = 0.0;
    cv::minMaxLoc(shownGray, &low, &high);
    ASSERT_LT(high - low, 2.0);
    EXPECT_TRUE(
        same(windows.last[kRgbHistogramWindow], renderRgbHistogram(shownFrame, {640, 512}, 10.0)));
    EXPECT_TRUE(
        same(windows.last[kGrayHistogramWindow], renderGrayHistogram(shownGray, {640, 512}, 10.0)));
}

TEST(HistogramStage, PrintsTheSmoothedFrameRateOfEachIteration) {
    constexpr std::int64_t kMs = 1'000'000;
    const struct {
        std::vector<std::int64_t> stamps;
        std::vector<double> fps;  // after iterations 1, 2, 3
    } cases[] = {
        // 10 frames per second, then a steady 25
        {{0, 100 * kMs, 140 * kMs, 180 * kMs}, {10.0, 13.0, 15.4}},
        // equal stamps leave the rate as it was
        {{0, 100 * kMs, 100 * kMs, 100 * kMs}, {10.0, 10.0, 10.0}},
        {{5, 5, 5, 5}, {0.0, 0.0, 0.0}},
    };
    const cv::Mat frame = colourFrame({320, 240});
    for (const auto& c : cases) {
        for (std::size_t iterations = 1; iterations <= 3; ++iterations) {
            RecordingWindows windows =
                runLoop(std::vector<cv::Mat>(iterations, frame), scriptedClock(c.stamps));
            const cv::Mat& shownGray = windows.last[kGrayWindow];
            const double fps = c.fps[iterations - 1];
            EXPECT_TRUE(same(windows.last[kGrayHistogramWindow],
                             renderGrayHistogram(shownGray, {320, 240}, fps)))
                << "iteration " << iterations << " expected " << fps;
            EXPECT_TRUE(
                same(windows.last[kRgbHistogramWindow], renderRgbHistogram(frame, {320, 240}, fps)))
                << "iteration " << iterations << " expected " << fps;
        }
    }
}

}  // namespace
