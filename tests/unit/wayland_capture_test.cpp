// The screen cast's frame hand-out and its pixel orders, with a modelled stream; and the whole
// Wayland path in a real session, which the Wayland end-to-end test starts and names in the
// environment (anywhere else that case skips itself).
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "platform/linux/wayland/grabber.h"
#include "platform/linux/wayland/stream_grabber.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using enum platform::GrabberFailure;
using platform::StreamFrame;

const char* const kOrders[] = {"BGRx", "BGRA", "RGBx", "RGBA", "xRGB", "ARGB", "xBGR", "ABGR"};

cv::Mat randomPicture(cv::Size size) {
    cv::Mat picture(size, CV_8UC3);
    cv::randu(picture, 0, 256);
    return picture;
}

// `bgr` as a stream delivers it: each pixel's bytes in the order that kOrders[order] spells,
// x and A left as noise, rows padded with 12 bytes of noise, the memory ending with the last
// pixel.
struct Delivered {
    Delivered(const cv::Mat& bgr, int order) : rows(bgr.rows, bgr.cols * 4 + 12, CV_8UC1) {
        cv::randu(rows, 0, 256);
        for (int i = 0; i < bgr.rows * bgr.cols * 4; ++i) {
            const std::size_t colour = std::string_view("BGR").find(kOrders[order][i % 4]);
            if (colour != std::string_view::npos) {
                rows.at<uchar>(i / (bgr.cols * 4), i % (bgr.cols * 4)) =
                    bgr.at<cv::Vec3b>(i / (bgr.cols * 4), i % (bgr.cols * 4) / 4)[colour];
            }
        }
        frame = {rows.data,
                 rows.step,
                 rows.step * (rows.rows - 1) + bgr.cols * 4,
                 platform::colourBytes(kOrders[order]),
                 bgr.cols,
                 bgr.rows};
    }
    cv::Mat rows;
    StreamFrame frame;
};

cv::Mat shown(const platform::ScreenGrabber& grabber) {
    cv::Mat bgr;
    cv::cvtColor(cv::Mat(grabber.height(), grabber.width(), CV_8UC4,
                         const_cast<uchar*>(grabber.rows()), grabber.rowStride()),
                 bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

// What the test sees of a modelled stream that the grabber owns: serve() number i brings the
// frames of batches[i], one that brings none takes a millisecond, and from number endsAt on the
// stream has ended.
struct StreamRecord {
    std::vector<std::vector<StreamFrame>> batches = {};
    std::size_t endsAt = 1000000;
    int alive = 0;
    int lent = 0;  // frames taken and not given back
    std::vector<std::chrono::milliseconds> timeouts = {};
};

struct ModelledStream final : platform::VideoStream {
    explicit ModelledStream(StreamRecord& record) : record(record) { ++record.alive; }
    ~ModelledStream() override { --record.alive; }
    bool serve(std::chrono::milliseconds timeout) override {
        const std::size_t served = record.timeouts.size();
        record.timeouts.push_back(timeout);
        if (served < record.batches.size()) {
            waiting.insert(waiting.end(), record.batches[served].begin(),
                           record.batches[served].end());
        }
        if (waiting.empty()) {
            std::this_thread::sleep_for(std::min(timeout, std::chrono::milliseconds(1)));
        }
        return served < record.endsAt;
    }
    bool take(StreamFrame& frame) override {
        if (waiting.empty()) {
            return false;
        }
        frame = waiting.front();
        waiting.erase(waiting.begin());
        return ++record.lent > 0;
    }
    void giveBack(const StreamFrame&) override { --record.lent; }
    std::string endReason() const override { return "gone"; }

    StreamRecord& record;
    std::vector<StreamFrame> waiting;
};

// Before each grab the stream brings the frames of its step, (picture, pixel order) pairs where
// picture -1 is a frame that cannot be read (its stride is shorter than a row). The first frame is
// awaited at start; then come the newer of two, nothing new (the same again), a new size (picture
// 4), and a newest frame that cannot be read (the last picture stays). Every order comes once as
// the newest frame.
TEST(StreamGrabber, HandsOutTheNewestFrameInEveryOrderRepeatsTheLastAndGivesEveryFrameBack) {
    std::vector<cv::Mat> pictures;
    for (int i = 0; i < 10; ++i) {
        pictures.push_back(randomPicture(i == 4 ? cv::Size(9, 3) : cv::Size(6, 4)));
    }
    const struct {
        std::vector<std::pair<int, int>> frames;
        int shown;
    } steps[] = {
        {{{0, 0}}, 0}, {{{1, 2}, {2, 1}}, 2}, {{}, 2},       {{{3, 2}}, 3},
        {{{4, 3}}, 4}, {{{5, 4}}, 5},         {{{6, 5}}, 6}, {{{7, 0}, {-1, 0}}, 6},
        {{{8, 6}}, 8}, {{{9, 7}}, 9},
    };
    std::vector<Delivered> delivered;  // the pixels behind the frames
    StreamRecord record{.endsAt = std::size(steps)};
    for (const auto& step : steps) {
        record.batches.emplace_back();
        for (const auto& [picture, order] : step.frames) {
            delivered.emplace_back(pictures[std::max(picture, 0)], order);
            delivered.back().frame.stride -= picture < 0 ? 13 : 0;
            record.batches.back().push_back(delivered.back().frame);
        }
    }
    platform::GrabberResult opened =
        platform::openStreamGrabber(std::make_unique<ModelledStream>(record), 1s);
    ASSERT_TRUE(opened.grabber);
    for (const auto& step : steps) {
        ASSERT_TRUE(&step == steps || opened.grabber->grab());
        EXPECT_EQ(cv::norm(shown(*opened.grabber), pictures[step.shown], cv::NORM_INF), 0)
            << step.shown;
        EXPECT_EQ(record.lent, 0);
    }
    EXPECT_FALSE(opened.grabber->grab());  // the stream has ended
    opened.grabber.reset();
    EXPECT_EQ(record.alive, 0);
}

TEST(StreamGrabber, WaitsForTheFirstFrameOnlyUpToItsLimitAndReleasesTheStreamOnFailure) {
    const Delivered first(randomPicture({4, 4}), 1);
    const StreamFrame unreadable;  // no pixels
    const struct {
        StreamRecord stream;
        std::chrono::milliseconds wait;
        platform::GrabberFailure failure;
        std::string detail;
    } cases[] = {
        {{{{}, {unreadable}, {first.frame}}}, 5s, NoFailure, ""},
        {{}, 50ms, NoFirstFrame, "none within 0.05 s"},
        {{{{}, {unreadable}}, 2}, 5s, NoStream, "it ended before its first frame: gone"},
    };
    for (const auto& c : cases) {
        StreamRecord record = c.stream;
        const platform::GrabberResult opened =
            platform::openStreamGrabber(std::make_unique<ModelledStream>(record), c.wait);
        EXPECT_EQ(opened.failure, c.failure);
        EXPECT_EQ(opened.detail, c.detail);
        EXPECT_EQ(record.alive, opened.grabber ? 1 : 0);
        for (const std::chrono::milliseconds timeout : record.timeouts) {
            EXPECT_TRUE(timeout > 0ms && timeout <= c.wait) << timeout.count();
        }
    }
}

// Position and size must both match: some portals put every stream at 0,0.
TEST(StreamGrabber, TheStreamsAreaTellsWhichMonitorItShows) {
    const std::vector<platform::Monitor> monitors = {
        {{0, 0, 1280, 720}, "A"}, {{1280, 0, 3200, 1080}, "B"}, {{3200, 0, 4480, 720}, "C"}};
    EXPECT_EQ(platform::monitorShowing(monitors, {1280, 0, 3200, 1080}), 1u);
    EXPECT_EQ(platform::monitorShowing(monitors, {0, 0, 1920, 1080}), 1u);  // its size alone
    EXPECT_EQ(platform::monitorShowing(monitors, {3200, 0, 4480, 720}), 2u);
    EXPECT_EQ(platform::monitorShowing(monitors, {0, 0, 1280, 720}), 0u);
    EXPECT_EQ(platform::monitorShowing(monitors, {9, 9, 1289, 729}), std::nullopt);  // A or C
    EXPECT_EQ(platform::monitorShowing(monitors, {1280, 0, 3200, 1081}), std::nullopt);
}

// The process's sockets: the bus connection and the PipeWire connection are ones.
int openSockets() {
    const std::filesystem::directory_iterator descriptors("/proc/self/fd");
    return static_cast<int>(std::count_if(begin(descriptors), end(descriptors), [](auto& fd) {
        std::error_code error;
        return std::filesystem::read_symlink(fd, error).string().starts_with("socket:");
    }));
}

// Through the portal the last output is captured, its frame equal to grim's picture of it, and
// the cast leaves no connection behind. The portal remembers the choice, whose token is kept with
// the output's name; a region is cut from the stream; a cast that must show the first output
// is refused, since the portal picks the last.
TEST(WaylandLayer, TheCastOutputEqualsGrimsPictureAndTheCastReleasesItsConnections) {
    const char* grimPicture = std::getenv("VELMORA_GRIM_PNG");
    if (grimPicture == nullptr) {
        GTEST_SKIP() << "needs a session from the Wayland end-to-end test";
    }
    const TempDir state;
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    platform::MonitorPlatform& os = platform::systemMonitors();
    const std::vector<platform::Monitor> monitors = os.monitors();
    ASSERT_GE(monitors.size(), 2u);
    const platform::MonitorRect last = monitors.back().rect;
    const int sockets = openSockets();
    platform::GrabberResult opened = os.openGrabber({last, last, false, monitors.size() - 1});
    ASSERT_TRUE(opened.grabber) << opened.detail;
    ASSERT_TRUE(opened.grabber->grab());
    const cv::Mat picture = cv::imread(grimPicture);
    EXPECT_EQ(cv::norm(shown(*opened.grabber), picture, cv::NORM_INF), 0);
    opened.grabber.reset();
    EXPECT_EQ(openSockets(), sockets);
    std::ifstream choice(state / "velmora" / "screencast-choice");
    std::string token, name;
    EXPECT_TRUE(std::getline(choice, token) && !token.empty() && std::getline(choice, name));
    EXPECT_EQ(name, monitors.back().name);

    const platform::MonitorRect region{last.left + 10, last.top + 20, last.left + 110,
                                       last.top + 70};
    opened = os.openGrabber({last, region, true, monitors.size() - 1});
    ASSERT_TRUE(opened.grabber) << opened.detail;
    ASSERT_TRUE(opened.grabber->grab());
    EXPECT_EQ(cv::norm(shown(*opened.grabber), picture(cv::Rect(10, 20, 100, 50)), cv::NORM_INF),
              0);
    opened.grabber.reset();

    const platform::MonitorRect first = monitors.front().rect;
    opened = os.openGrabber({first, first, true, 0});
    EXPECT_EQ(opened.failure, platform::GrabberFailure::OtherMonitor) << opened.detail;
    os.forgetMonitorChoice();
    EXPECT_FALSE(std::filesystem::exists(state / "velmora" / "screencast-choice"));
    EXPECT_EQ(openSockets(), sockets);
}

}  // namespace
