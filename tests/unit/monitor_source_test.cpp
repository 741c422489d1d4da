
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "sources/monitor_source.h"
#include "sources/to_utf8.h"
#include "tests/support/console_capture.h"
#include "tests/support/fake_monitors.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::GrabberFailure;
using platform::MonitorRect;

// A screen whose every pixel differs from its neighbours and whose fourth byte is never 0.
cv::Mat patternedScreen(cv::Size size) {
    cv::Mat screen(size, CV_8UC4);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            screen.at<cv::Vec4b>(y, x) = {static_cast<uchar>(x), static_cast<uchar>(y),
                                          static_cast<uchar>(x * 3 + y * 7), 200};
        }
    }
    return screen;
}

cv::Mat bgrOf(const cv::Mat& bgra) {
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

bool samePixels(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// Two side-by-side monitors, the second one smaller and to the right of the first.
FakeMonitors twoMonitors() {
    FakeMonitors desktop;
    desktop.rects = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    desktop.screen = patternedScreen({3200, 1080});
    return desktop;
}

TEST(MonitorSource, NoMonitorIsAnErrorAndTouchesNothingElse) {
    ConsoleCapture console;
    FakeMonitors desktop;
    EXPECT_EQ(createMonitorSource(desktop), nullptr);
    EXPECT_EQ(console.err(), "error: no monitor found\n");
    EXPECT_EQ(console.out(), "");
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"monitors"});
}

TEST(MonitorSource, TheLastMonitorIsCapturedLive) {
    const struct {
        std::vector<MonitorRect> rects;
        std::vector<bool> infoFails;
        const char* opened;
        const char* line;
    } cases[] = {
        {{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}},
         {},
         "open 1920,0,3200,1024",
         "mode=screen monitors=2 monitor_index=1 width=1280 height=1024\n"},
        // The third monitor's info query fails: it is left out of the list and of the count.
        {{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}, {0, 0, 800, 600}},
         {false, false, true},
         "open 1920,0,3200,1024",
         "mode=screen monitors=2 monitor_index=1 width=1280 height=1024\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        FakeMonitors desktop = twoMonitors();
        desktop.rects = c.rects;
        desktop.infoFails = c.infoFails;
        auto source = createMonitorSource(desktop);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(console.out(), c.line);
        EXPECT_EQ(console.err(), "");
        // Nothing but the enumeration and the grabber: no COM, no wallpaper lookup.
        EXPECT_EQ(desktop.calls, (std::vector<std::string>{"monitors", c.opened}));
    }
}

TEST(MonitorSource, LiveFramesAreTheMonitorsPixelsAsBgrInTheCallersBuffer) {
    ConsoleCapture console;
    FakeMonitors desktop = twoMonitors();
    auto source = createMonitorSource(desktop);
    ASSERT_NE(source, nullptr);
    cv::Mat frame;
    ASSERT_TRUE(source->read(frame));
    EXPECT_EQ(frame.type(), CV_8UC3);
    EXPECT_TRUE(samePixels(frame, bgrOf(desktop.screen(cv::Rect(1920, 0, 1280, 1024)))));

    // The next grab sees the changed screen, and the caller's buffer is reused.
    const uchar* buffer = frame.data;
    desktop.screen.setTo(cv::Scalar(1, 2, 3, 4));
    ASSERT_TRUE(source->read(frame));
    EXPECT_EQ(frame.data, buffer);
    EXPECT_TRUE(samePixels(frame, cv::Mat(1024, 1280, CV_8UC3, cv::Scalar(1, 2, 3))));

    // A caller's image of another size or type is replaced, never used as it is.
    cv::Mat small(10, 10, CV_8UC1, cv::Scalar(9));
    ASSERT_TRUE(source->read(small));
    EXPECT_EQ(small.size(), cv::Size(1280, 1024));
    EXPECT_EQ(small.type(), CV_8UC3);
}

TEST(MonitorSource, AFailedGrabFailsTheReadAndTheGrabberGoesWithTheSource) {
    ConsoleCapture console;
    FakeMonitors desktop = twoMonitors();
    auto source = createMonitorSource(desktop);
    ASSERT_NE(source, nullptr);
    desktop.grabsFail = true;
    cv::Mat frame;
    EXPECT_FALSE(source->read(frame));
    desktop.grabsFail = false;
    EXPECT_TRUE(source->read(frame));
    EXPECT_EQ(console.err(), "");
    source.reset();
    EXPECT_EQ(desktop.grabbersAlive, 0);
    EXPECT_EQ(desktop.calls.back(), "close");  // and no COM to balance in live mode
}

TEST(MonitorSource, AGrabberThatCannotBeMadeIsAnErrorWithNothingLeftHeld) {
    const struct {
        GrabberFailure failure;
        const char* detail;
        const char* line;
    } cases[] = {
        {GrabberFailure::NoBitmap, "", "error: CreateDIBSection failed\n"},
        {GrabberFailure::UnsupportedFormat, "depth 16, 16 bits per pixel",
         "error: unsupported screen format: depth 16, 16 bits per pixel\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        FakeMonitors desktop = twoMonitors();
        desktop.grabberFailure = c.failure;
        desktop.grabberDetail = c.detail;
        EXPECT_EQ(createMonitorSource(desktop), nullptr);
        EXPECT_EQ(console.err(), c.line);
        EXPECT_EQ(console.out(), "");
        EXPECT_EQ(desktop.grabbersAlive, 0);
        EXPECT_EQ(desktop.comDepth, 0);
    }
}

TEST(ToUtf8, LinuxPathsArePrintedAsTheirBytes) {
    EXPECT_EQ(toUtf8(""), "");
    const std::string name = "/tmp/T\xC3\xA1p\xC3\xA9ta \xE5\xA3\x81\xE7\xBA\xB8.png";
    EXPECT_EQ(toUtf8(std::filesystem::path(name).native()), name);
    // Not UTF-8 at all: still the same bytes, which is what the file is called.
    EXPECT_EQ(toUtf8("/tmp/\xFF\xFE.png"), "/tmp/\xFF\xFE.png");
}

}  // namespace
