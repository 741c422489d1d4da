// The Linux monitor layer against real X servers, which tests/e2e/monitor_test.sh starts and
// names in the environment; anywhere else these cases skip themselves.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "platform/linux/x11_grabber.h"

// After the test framework, whose names the X11 macros (None) would replace.
#include <X11/Xlib.h>

namespace {

using platform::X11Transfer;

// What grabbers leave behind: the shared-memory segments that this process made and that still
// exist, and the Xlib error handlers in force.
std::tuple<int, XErrorHandler, XIOErrorHandler> traces() {
    std::ifstream table("/proc/sysvipc/shm");
    std::string rest;
    std::getline(table, rest);  // the header
    int segments = 0;
    for (long key, id, perms, size, creator; table >> key >> id >> perms >> size >> creator;) {
        segments += creator == getpid();
        std::getline(table, rest);
    }
    const XErrorHandler error = XSetErrorHandler(nullptr);
    const XIOErrorHandler io = XSetIOErrorHandler(nullptr);
    XSetErrorHandler(error);
    XSetIOErrorHandler(io);
    return {segments, error, io};
}

// The server's monitors, in its order: RandR's, else Xinerama's heads, else the root window.
// Where the root window shows the pattern, the right one of two monitors is grabbed both ways
// until the case ends the server.
TEST(X11Layer, MonitorsInTheServersOrderAndGrabsThatFailOnceTheServerIsGone) {
    const char* monitors = std::getenv("VELMORA_X11_MONITORS");
    if (monitors == nullptr) {
        GTEST_SKIP() << "needs a server from tests/e2e/monitor_test.sh";
    }
    std::ostringstream listed;
    for (const platform::MonitorRect& r : platform::systemMonitors().monitors()) {
        listed << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ' ';
    }
    EXPECT_EQ(listed.str(), monitors);
    const char* pattern = std::getenv("VELMORA_X11_PATTERN");
    if (pattern == nullptr) {
        return;
    }
    const cv::Mat expected = cv::imread(pattern)(cv::Rect(1920, 0, 1280, 1024));
    const auto before = traces();
    {
        const platform::GrabberResult grabbers[] = {
            platform::openX11Grabber({1920, 0, 3200, 1024}, X11Transfer::SharedMemory),
            platform::openX11Grabber({1920, 0, 3200, 1024}, X11Transfer::Plain)};
        for (const auto& opened : grabbers) {
            ASSERT_TRUE(opened.grabber && opened.grabber->grab()) << opened.detail;
            cv::Mat bgr;
            cv::cvtColor(cv::Mat(1024, 1280, CV_8UC4, const_cast<uchar*>(opened.grabber->rows()),
                                 opened.grabber->rowStride()),
                         bgr, cv::COLOR_BGRA2BGR);
            EXPECT_EQ(cv::norm(bgr, expected, cv::NORM_INF), 0);
        }
        // Areas off the screen fail to grab, empty ones to open, and the process goes on.
        for (const X11Transfer transfer : {X11Transfer::SharedMemory, X11Transfer::Plain}) {
            EXPECT_FALSE(platform::openX11Grabber({3000, 0, 3400, 100}, transfer).grabber->grab());
        }
        EXPECT_EQ(platform::openX11Grabber({5, 5, 4, 6}).failure,
                  platform::GrabberFailure::NoBitmap);
        EXPECT_EQ(std::get<0>(traces()), 1);  // the shared grabber's segment alone
        ASSERT_EQ(kill(std::stoi(std::getenv("VELMORA_X11_SERVER")), SIGTERM), 0);
        for (const auto& opened : grabbers) {
            for (int attempt = 0; attempt < 500 && opened.grabber->grab(); ++attempt) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_FALSE(opened.grabber->grab());
        }
    }
    EXPECT_EQ(traces(), before);
    EXPECT_TRUE(platform::systemMonitors().monitors().empty());
}

}  // namespace
