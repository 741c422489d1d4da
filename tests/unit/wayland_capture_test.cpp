// The screen cast's frame hand-out and pixel orders, with a modelled stream; and the whole
// Wayland path in a real session, which the Wayland end-to-end test starts and names in the
// environment (anywhere else that case skips itself).
#include <chrono>
#include <deque>
#include <filesystem>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "platform/linux/stream_grabber.h"
#include "platform/linux/wayland_grabber.h"

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
        for (int y = 0; y < bgr.rows; ++y) {
            for (int x = 0; x < bgr.cols * 4; ++x) {
                const std::size_t colour = std::string_view("BGR").find(kOrders[order][x % 4]);
                if (colour != std::string_view::npos) {
                    rows.at<uchar>(y, x) = bgr.at<cv::Vec3b>(y, x / 4)[colour];
                }
            }
        }
        frame = {rows.data,
                 rows.step,
                 rows.step * (rows.rows - 1) + bgr.cols * 4,
                 platform::PixelOrder(order),
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

TEST(StreamGrabber, EveryPixelOrderIsConvertedExactlyAndFramesTooShortAreRefused) {
    const cv::Mat picture = randomPicture({7, 5});
    std::vector<unsigned char> out;
    for (int order = 0; order < 8; ++order) {
        const Delivered delivered(picture, order);
        ASSERT_TRUE(platform::convertToBgrx(delivered.frame, out));
        cv::Mat bgr;
        cv::cvtColor(cv::Mat(5, 7, CV_8UC4, out.data()), bgr, cv::COLOR_BGRA2BGR);
        EXPECT_EQ(cv::norm(bgr, picture, cv::NORM_INF), 0) << kOrders[order];
    }
    const std::vector<unsigned char> before = out;
    StreamFrame shortOfOneByte = Delivered(picture, 0).frame;
    --shortOfOneByte.bytes;
    StreamFrame strideInsideARow = Delivered(picture, 0).frame;
    strideInsideARow.stride = 7 * 4 - 1;
    for (const StreamFrame& frame : {shortOfOneByte, strideInsideARow}) {
        EXPECT_FALSE(platform::convertToBgrx(frame, out));
        EXPECT_EQ(out, before);
    }
}

// What the test sees of a modelled stream that the grabber owns.
struct StreamRecord {
    std::size_t endsAt = 1000000;  // the serve() from which on the stream has ended
    int alive = 0;
    int lent = 0;  // frames taken and not given back
    std::vector<std::chrono::milliseconds> timeouts = {};
};

// serve() number i brings the frames of batches[i]; one that brings none takes a millisecond.
struct ModelledStream final : platform::VideoStream {
    ModelledStream(StreamRecord& record, std::vector<std::vector<StreamFrame>> batches)
        : record(record), batches(std::move(batches)) {
        ++record.alive;
    }
    ~ModelledStream() override { --record.alive; }
    bool serve(std::chrono::milliseconds timeout) override {
        record.timeouts.push_back(timeout);
        const std::size_t served = record.timeouts.size() - 1;
        if (served >= record.endsAt) {
            return false;
        }
        if (served < batches.size() && !batches[served].empty()) {
            waiting.insert(waiting.end(), batches[served].begin(), batches[served].end());
        } else {
            std::this_thread::sleep_for(std::min(timeout, std::chrono::milliseconds(1)));
        }
        return true;
    }
    bool take(StreamFrame& frame) override {
        if (waiting.empty()) {
            return false;
        }
        frame = waiting.front();
        waiting.pop_front();
        ++record.lent;
        return true;
    }
    void giveBack(const StreamFrame&) override { --record.lent; }
    std::string endReason() const override { return "gone"; }

    StreamRecord& record;
    std::vector<std::vector<StreamFrame>> batches;
    std::deque<StreamFrame> waiting;
};

TEST(StreamGrabber, HandsOutTheNewestFrameRepeatsTheLastAndGivesEveryFrameBack) {
    const cv::Mat pictures[] = {randomPicture({6, 4}), randomPicture({6, 4}), randomPicture({6, 4}),
                                randomPicture({9, 3})};
    const Delivered first(pictures[0], 0), older(pictures[1], 2), newer(pictures[2], 4),
        resized(pictures[3], 7);
    StreamFrame unreadable = newer.frame;
    unreadable.bytes = 0;
    StreamRecord record{.endsAt = 5};
    platform::GrabberResult opened = platform::openStreamGrabber(
        std::make_unique<ModelledStream>(
            record,
            std::vector<std::vector<StreamFrame>>{
                {first.frame}, {older.frame, newer.frame}, {}, {resized.frame}, {unreadable}}),
        1s);
    ASSERT_TRUE(opened.grabber);
    // The first frame, then after each grab: the newer of two, the same again when nothing new
    // came, a new size, and the same again past a frame that cannot be read.
    for (const int expected : {0, 2, 2, 3, 3}) {
        ASSERT_TRUE(expected == 0 || opened.grabber->grab());
        ASSERT_EQ(shown(*opened.grabber).size(), pictures[expected].size());
        EXPECT_EQ(cv::norm(shown(*opened.grabber), pictures[expected], cv::NORM_INF), 0);
        EXPECT_EQ(record.lent, 0);
    }
    EXPECT_FALSE(opened.grabber->grab());  // the stream has ended
    opened.grabber.reset();
    EXPECT_EQ(record.alive, 0);
}

TEST(StreamGrabber, WaitsForTheFirstFrameOnlyUpToItsLimitAndReleasesTheStreamOnFailure) {
    const Delivered first(randomPicture({4, 4}), 1);
    StreamFrame unreadable = first.frame;
    unreadable.data = nullptr;
    const struct {
        std::vector<std::vector<StreamFrame>> batches;
        std::size_t endsAt;
        std::chrono::milliseconds wait;
        platform::GrabberFailure failure;
        std::string detail;
    } cases[] = {
        {{{}, {unreadable}, {first.frame}}, 1000, 5s, NoFailure, ""},
        {{}, 1000000, 50ms, NoFirstFrame, "none within 0.05 s"},
        {{{}, {unreadable}}, 2, 5s, NoStream, "it ended before its first frame: gone"},
    };
    for (const auto& c : cases) {
        StreamRecord record{.endsAt = c.endsAt};
        const platform::GrabberResult opened = platform::openStreamGrabber(
            std::make_unique<ModelledStream>(record, c.batches), c.wait);
        EXPECT_EQ(opened.failure, c.failure);
        EXPECT_EQ(opened.detail, c.detail);
        EXPECT_EQ(record.alive, opened.grabber ? 1 : 0);
        EXPECT_EQ(record.lent, 0);
        for (const std::chrono::milliseconds timeout : record.timeouts) {
            EXPECT_TRUE(timeout > 0ms && timeout <= c.wait) << timeout.count();
        }
    }
}

// Position and size must both match: some portals put every stream at 0,0.
TEST(StreamGrabber, TheStreamsAreaTellsWhichMonitorItShows) {
    const std::vector<platform::WaylandMonitor> monitors = {{{0, 0, 1280, 720}, "A"},
                                                            {{1280, 0, 3200, 1080}, "B"}};
    EXPECT_EQ(platform::monitorShowing(monitors, {1280, 0, 3200, 1080}), 1u);
    EXPECT_EQ(platform::monitorShowing(monitors, {0, 0, 1280, 720}), 0u);
    EXPECT_EQ(platform::monitorShowing(monitors, {0, 0, 1920, 1080}), std::nullopt);
    EXPECT_EQ(platform::monitorShowing(monitors, {1280, 0, 3200, 1081}), std::nullopt);
}

int openDescriptors() {
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// Through the portal the last output is captured; its frame equals grim's picture of it, and a
// second cast leaves no descriptor behind (the first one starts the bus library's own).
TEST(WaylandLayer, TheCastOutputEqualsGrimsPictureAndEveryCastReleasesItsDescriptors) {
    const char* grimPicture = std::getenv("VELMORA_GRIM_PNG");
    if (grimPicture == nullptr) {
        GTEST_SKIP() << "needs a session from the Wayland end-to-end test";
    }
    platform::MonitorPlatform& os = platform::systemMonitors();
    const std::vector<platform::MonitorRect> monitors = os.monitors();
    ASSERT_GE(monitors.size(), 2u);
    int descriptors = 0;
    for (int cast = 0; cast < 2; ++cast) {
        platform::GrabberResult opened = os.openGrabber(monitors.back());
        ASSERT_TRUE(opened.grabber) << opened.detail;
        EXPECT_EQ(opened.monitorIndex, monitors.size() - 1);
        ASSERT_TRUE(opened.grabber->grab());
        EXPECT_EQ(cv::norm(shown(*opened.grabber), cv::imread(grimPicture), cv::NORM_INF), 0);
        opened.grabber.reset();
        EXPECT_TRUE(cast == 0 || openDescriptors() == descriptors) << openDescriptors();
        descriptors = openDescriptors();
    }
}

}  // namespace
