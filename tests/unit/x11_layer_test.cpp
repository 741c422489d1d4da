// The Linux layer against a real X server. These cases need the server that
// tests/e2e/x11_layer_test.sh starts; anywhere else they skip themselves.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "platform/linux/x11_grabber.h"
#include "sources/monitor_source.h"
#include "tests/support/console_capture.h"

namespace {

using platform::MonitorRect;
using platform::X11Transfer;

// The root window shows this image: one 3200 x 1080 screen split into 1920 x 1080 at 0,0 and
// 1280 x 1024 at 1920,0.
std::string patternFile() {
    const char* file = std::getenv("VELMORA_X11_PATTERN");
    return file != nullptr ? file : "";
}

#define REQUIRE_SERVER(variable)                                       \
    if (std::getenv(variable) == nullptr) {                            \
        GTEST_SKIP() << "runs under tests/e2e/x11_layer_test.sh only"; \
    }

cv::Mat grabbedBgr(platform::ScreenGrabber& grabber, cv::Size size) {
    const cv::Mat bgra(size, CV_8UC4, const_cast<unsigned char*>(grabber.rows()),
                       grabber.rowStride());
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

const MonitorRect kRight{1920, 0, 3200, 1024};

TEST(X11Layer, TwoMonitorsAreListedInTheServersOrder) {
    REQUIRE_SERVER("VELMORA_X11_PATTERN");
    const std::vector<MonitorRect> rects = platform::systemMonitors().monitors();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ((std::vector<int>{rects[0].left, rects[0].top, rects[0].right, rects[0].bottom}),
              (std::vector<int>{0, 0, 1920, 1080}));
    EXPECT_EQ((std::vector<int>{rects[1].left, rects[1].top, rects[1].right, rects[1].bottom}),
              (std::vector<int>{1920, 0, 3200, 1024}));
}

TEST(X11Layer, SharedMemoryAndPlainGrabsGiveThePixelsDrawnThere) {
    REQUIRE_SERVER("VELMORA_X11_PATTERN");
    const cv::Mat pattern = cv::imread(patternFile(), cv::IMREAD_COLOR);
    ASSERT_EQ(pattern.size(), cv::Size(3200, 1080));
    const cv::Mat expected = pattern(cv::Rect(1920, 0, 1280, 1024));
    for (const X11Transfer transfer : {X11Transfer::SharedMemory, X11Transfer::Plain}) {
        platform::GrabberResult opened = platform::openX11Grabber(kRight, transfer);
        ASSERT_NE(opened.grabber, nullptr) << opened.detail;
        EXPECT_EQ(platform::usesSharedMemory(*opened.grabber),
                  transfer == X11Transfer::SharedMemory);
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(opened.grabber->grab());
            EXPECT_EQ(cv::norm(grabbedBgr(*opened.grabber, {1280, 1024}), expected, cv::NORM_INF),
                      0);
        }
    }
}

TEST(X11Layer, TheMonitorSourceCapturesTheSecondMonitor) {
    REQUIRE_SERVER("VELMORA_X11_PATTERN");
    const cv::Mat pattern = cv::imread(patternFile(), cv::IMREAD_COLOR);
    ConsoleCapture console;
    auto source = createMonitorSource();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(console.out(), "mode=screen monitors=2 monitor_index=1 width=1280 height=1024\n");
    cv::Mat frame;
    ASSERT_TRUE(source->read(frame));
    EXPECT_EQ(cv::norm(frame, pattern(cv::Rect(1920, 0, 1280, 1024)), cv::NORM_INF), 0);
}

TEST(X11Layer, AreasOffTheScreenFailWithoutEndingTheProcess) {
    REQUIRE_SERVER("VELMORA_X11_PATTERN");
    for (const X11Transfer transfer : {X11Transfer::SharedMemory, X11Transfer::Plain}) {
        platform::GrabberResult opened = platform::openX11Grabber({3000, 0, 3400, 100}, transfer);
        ASSERT_NE(opened.grabber, nullptr);
        EXPECT_FALSE(opened.grabber->grab());
    }
    for (const MonitorRect empty : {MonitorRect{0, 0, 0, 100}, MonitorRect{50, 50, 40, 60}}) {
        const platform::GrabberResult opened = platform::openX11Grabber(empty);
        EXPECT_EQ(opened.grabber, nullptr);
        EXPECT_EQ(opened.failure, platform::GrabberFailure::NoBitmap);
    }
}

// The script runs this case alone against a server of its own and hands over the server's
// process id; the server is ended here, between two grabs.
TEST(X11Layer, AServerThatGoesAwayFailsTheReadInsteadOfEndingTheProcess) {
    REQUIRE_SERVER("VELMORA_X11_DOOMED_SERVER");
    {
        platform::GrabberResult shared =
            platform::openX11Grabber({0, 0, 64, 48}, X11Transfer::SharedMemory);
        platform::GrabberResult plain =
            platform::openX11Grabber({0, 0, 64, 48}, X11Transfer::Plain);
        ASSERT_NE(shared.grabber, nullptr);
        ASSERT_NE(plain.grabber, nullptr);
        ASSERT_TRUE(shared.grabber->grab());
        ASSERT_TRUE(plain.grabber->grab());
        const std::string kill = std::string("kill ") + std::getenv("VELMORA_X11_DOOMED_SERVER");
        ASSERT_EQ(std::system(kill.c_str()), 0);
        for (platform::ScreenGrabber* grabber : {shared.grabber.get(), plain.grabber.get()}) {
            bool failed = false;
            for (int attempt = 0; attempt < 500 && !failed; ++attempt) {
                failed = !grabber->grab();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_TRUE(failed);
            EXPECT_FALSE(grabber->grab());
        }
    }  // both grabbers are released on a dead connection
    EXPECT_TRUE(platform::systemMonitors().monitors().empty());
    EXPECT_EQ(platform::openX11Grabber({0, 0, 64, 48}).failure, platform::GrabberFailure::NoBitmap);
}

}  // namespace
