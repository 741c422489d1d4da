#include <map>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "platform/platform.h"
#include "sources/chosen_source.h"
#include "sources/monitor_source.h"
#include "sources/usb_source.h"
#include "tests/support/console_capture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace logging = cv::utils::logging;

// A modelled camera: what the reads of each open give ('f' a frame, 'e' success with an empty
// image, 'x' failure; failures after the last), whether a second open works, the frame size it
// reports, and whether it delivers frames of the size asked of it (8 x 8 otherwise).
struct Camera {
    std::string reads = "f";
    bool reopens = true;
    double width = 64;
    double height = 48;
    bool sizable = false;
    int opens = 0;
    std::string asked = {};  // the properties set, "3=1920 4=1080 "
};

int openCaptures = 0;  // modelled captures not yet destroyed

struct ModelledCapture final : CaptureDevice {
    explicit ModelledCapture(Camera& camera)
        : camera(camera), opened(++camera.opens == 1 || camera.reopens) {
        ++openCaptures;
    }
    ~ModelledCapture() override { --openCaptures; }
    bool isOpened() const override { return opened; }
    bool read(cv::Mat& image) override {
        const char result = next < camera.reads.size() ? camera.reads[next++] : 'x';
        image = result == 'f' ? cv::Mat(size, CV_8UC3) : cv::Mat();
        return result != 'x';
    }
    double get(int property) const override {
        return property == cv::CAP_PROP_FRAME_WIDTH ? camera.width : camera.height;
    }
    bool set(int property, double value) override {
        camera.asked += std::to_string(property) + "=" + std::to_string(int(value)) + " ";
        if (camera.sizable) {
            (property == cv::CAP_PROP_FRAME_WIDTH ? size.width : size.height) = int(value);
        }
        return camera.sizable;
    }

    Camera& camera;
    cv::Size size{8, 8};
    const bool opened;
    std::size_t next = 0;
};

TEST(UsbSource, TheHighestIndexThatDeliversIsOpenedAgainAndReadUntilItFails) {
    const struct {
        std::map<int, Camera> cameras;
        const char* line;
        const char* reopened;
        int frames;  // handed out by the source before its first failed read
    } cases[] = {
        {{{0, {}}, {2, {"fffffff"}}}, "mode=usb device_id=2 width=64 height=48\n", "2 ", 7},
        {{{0, {"ff"}}}, "mode=usb device_id=0 width=64 height=48\n", "0 ", 2},  // the usual webcam
        // Five reads to deliver a non-empty frame: 3 does on its fifth, 5 never does.
        {{{3, {"xxxxf"}}, {5, {"eeeeef"}}}, "mode=usb device_id=3 width=64 height=48\n", "3 ", 0},
        {{{15, {"fe", true, 0, 1e6}}}, "mode=usb device_id=15 width=0 height=1e+06\n", "15 ", 1},
        {{}, "error: no camera found\n", "", 0},
        {{{12, {.reopens = false}}}, "error: cannot open device 12\n", "12 ", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ConsoleCapture console;
        std::map<int, Camera> cameras = c.cameras;
        std::string opened;  // device indices in the order of opening
        int opens = 0;
        const logging::LogLevel before = logging::setLogLevel(logging::LOG_LEVEL_DEBUG);
        std::unique_ptr<FrameSource> source =
            createUsbSource([&](int index, int api) -> std::unique_ptr<CaptureDevice> {
                EXPECT_EQ(api, platform::cameraBackend());
                // Silent while probing, the caller's level again for the real open.
                EXPECT_EQ(logging::getLogLevel(),
                          opens++ < 16 ? logging::LOG_LEVEL_SILENT : logging::LOG_LEVEL_DEBUG);
                opened += std::to_string(index) + " ";
                const auto camera = cameras.find(index);
                return camera == cameras.end() ? nullptr
                                               : std::make_unique<ModelledCapture>(camera->second);
            });
        EXPECT_EQ(logging::setLogLevel(before), logging::LOG_LEVEL_DEBUG);
        EXPECT_EQ(source ? console.out() : console.err(), c.line);
        EXPECT_EQ(source ? console.err() : console.out(), "");
        EXPECT_EQ(opened, std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 ") + c.reopened);
        EXPECT_EQ(openCaptures, source ? 1 : 0);
        int frames = 0;
        for (cv::Mat frame; source && frames < 20 && source->read(frame);) {
            ++frames;
        }
        EXPECT_EQ(frames, c.frames);
        source.reset();
        EXPECT_EQ(openCaptures, 0);
    }
}

// The command line's camera: that index only, asked for a size before its first frame, whose
// size the status line tells; the listing probes every index as the answer 1 does.
TEST(UsbSource, TheChosenIndexAtTheAskedSizeAndTheListOfEveryCameraThatDelivers) {
    const std::map<int, Camera> cameras = {
        {0, {}}, {2, {"ff"}}, {3, {"eeeeeef"}}, {9, {"xxxxff", true, 64, 48, true}}};
    const struct {
        std::optional<int> index;
        std::optional<cv::Size> size;
        std::string line;
        std::string opened;  // device indices in the order of opening
        std::string asked;   // of the camera opened last
        int frames;
    } cases[] = {
        {2, {}, "mode=usb device_id=2 width=8 height=8\n", "2 ", "", 2},
        {0, cv::Size(1920, 1080), "mode=usb device_id=0 width=8 height=8\n", "0 ", "3=1920 4=1080 ",
         1},
        {{},
         cv::Size(1920, 1080),
         "mode=usb device_id=9 width=1920 height=1080\n",
         "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 9 ",
         "3=1920 4=1080 ",
         2},
        {5, {}, "error: cannot open camera 5\n", "5 ", "", 0},
        {3, {}, "error: camera 3 delivers no frame\n", "3 ", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ConsoleCapture console;
        std::map<int, Camera> modelled = cameras;
        std::string opened;
        SourceRequest request;
        request.camera = c.index;
        request.size = c.size;
        std::unique_ptr<FrameSource> source =
            createCameraSource(request, [&](int index, int) -> std::unique_ptr<CaptureDevice> {
                opened += std::to_string(index) + " ";
                const auto camera = modelled.find(index);
                return camera == modelled.end() ? nullptr
                                                : std::make_unique<ModelledCapture>(camera->second);
            });
        EXPECT_EQ(source ? console.out() : console.err(), c.line);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(modelled[c.index.value_or(9)].asked, c.asked);
        int frames = 0;
        for (cv::Mat frame; source && frames < 20 && source->read(frame);) {
            ++frames;
        }
        EXPECT_EQ(frames, c.frames);  // the frame read for the status line comes first
        source.reset();
        EXPECT_EQ(openCaptures, 0);
    }
    std::map<int, Camera> modelled = cameras;
    std::ostringstream listed;
    listCameras(listed, [&](int index, int) -> std::unique_ptr<CaptureDevice> {
        const auto camera = modelled.find(index);
        return camera == modelled.end() ? nullptr
                                        : std::make_unique<ModelledCapture>(camera->second);
    });
    EXPECT_EQ(listed.str(), "camera 0 8x8\ncamera 2 8x8\ncamera 9 8x8\n");
    EXPECT_EQ(openCaptures, 0);
}

using enum platform::GrabberFailure;
using platform::MonitorRect;

// A modelled desktop: its monitors, COM and the wallpaper setting. Every call is logged in
// `calls`; `shown` is the picture that the last grabber made, or the wallpaper, holds.
struct Desktop final : platform::MonitorPlatform {
    // Random pixels in rows padded on the right, so that a reader that ignores the stride
    // shows it; a grab repaints them when the desktop's `stream` gets a new size.
    struct Grabber final : platform::ScreenGrabber {
        Grabber(Desktop& desktop, cv::Size size) : desktop(desktop) { paint(size); }
        ~Grabber() override { desktop.calls += "close;"; }
        void paint(cv::Size size) {
            padded.create(size.height, size.width + 3, CV_8UC4);
            cv::randu(padded, 0, 256);
            cv::cvtColor(padded.colRange(0, size.width), desktop.shown, cv::COLOR_BGRA2BGR);
        }
        bool grab() override {
            if (!desktop.stream.empty() && desktop.stream != cv::Size(width(), height())) {
                paint(desktop.stream);
            }
            return desktop.logged("grab;", !desktop.grabsFail);
        }
        const unsigned char* rows() const override { return padded.data; }
        std::size_t rowStride() const override { return padded.step; }
        std::int32_t width() const override { return padded.cols - 3; }
        std::int32_t height() const override { return padded.rows; }

        Desktop& desktop;
        cv::Mat padded;
    };

    template <typename T>
    T logged(const char* call, T result) {
        calls += call;
        return result;
    }
    std::vector<platform::Monitor> monitors() override {
        std::vector<platform::Monitor> listed;
        for (const MonitorRect& r : rects) {
            listed.push_back({r, "OUT-" + std::to_string(listed.size())});
        }
        return logged("monitors;", listed);
    }
    void forgetMonitorChoice() override { calls += "forget;"; }
    platform::GrabberResult openGrabber(const platform::CaptureArea& capture) override {
        const MonitorRect& r = capture.area;
        calls += "open " + std::to_string(r.left) + "," + std::to_string(r.top) +
                 (capture.thisMonitorOnly ? " only;" : ";");
        const cv::Size size =
            stream.empty() ? cv::Size(r.right - r.left, r.bottom - r.top) : stream;
        return {failure == NoFailure ? std::make_unique<Grabber>(*this, size) : nullptr, failure,
                failure == NoBitmap ? "CreateDIBSection failed" : "depth 16", index};
    }
    // COM's apartment on Windows: a negative result is a failure that owes nothing.
    struct Apartment final : platform::SettingsAccess {
        explicit Apartment(std::string& calls) : calls(calls) {}
        ~Apartment() override { calls += "com-uninit;"; }
        std::string& calls;
    };
    platform::SettingsAccessResult openSettings() override {
        if (logged("com-init;", comResult) < 0) {
            return {nullptr, "CoInitializeEx failed"};
        }
        return {std::make_unique<Apartment>(calls), {}};
    }
    std::filesystem::path wallpaperPath() override { return logged("wallpaper;", wallpaper); }

    std::vector<MonitorRect> rects;
    cv::Mat shown;
    bool grabsFail = false;
    platform::GrabberFailure failure = NoFailure;
    cv::Size stream;  // what a screen cast delivers; empty: the monitor's size
    std::optional<std::size_t> index;
    std::int32_t comResult = 0;
    std::filesystem::path wallpaper;
    std::string calls;
};

// The first two side by side, the third left of and above the first.
const MonitorRect kMonitors[] = {{0, 0, 64, 48}, {64, 0, 96, 40}, {-32, -8, 0, 16}};

TEST(MonitorSource, TheMonitorCountPicksTheModeAndEveryPathReleasesWhatItAcquired) {
    const std::string name = "T\xC3\xA1p\xC3\xA9ta \xE5\xA3\x81\xE7\xBA\xB8.png";
    const std::string still = "mode=wallpaper monitors=1 monitor_index=0 width=30 height=20\npath=";
    const std::string wallpaper = "monitors;com-init;wallpaper;";
    const std::string failed = "monitors;open 64,0;drop;";
    const struct {
        std::size_t monitors;
        platform::GrabberFailure failure;
        std::int32_t com;
        std::string wallpaper;
        std::string line;   // followed by the wallpaper's path and a line feed when there is one
        std::string calls;  // "drop": the source is destroyed
        cv::Size stream = {};
        std::optional<std::size_t> index = std::nullopt;
    } cases[] = {
        {0, NoFailure, 0, "", "error: no monitor found\n", "monitors;drop;"},
        {2, NoFailure, 0, "", "mode=screen monitors=2 monitor_index=1 width=32 height=40\n",
         "monitors;open 64,0;grab;grab;grab;drop;close;"},
        {3, NoFailure, 0, "", "mode=screen monitors=3 monitor_index=2 width=32 height=24\n",
         "monitors;open -32,-8;grab;grab;grab;drop;close;"},
        // A screen cast of the first monitor, in a size of its own.
        {3, NoFailure, 0, "", "mode=screen monitors=3 monitor_index=0 width=50 height=30\n",
         "monitors;open -32,-8;grab;grab;grab;drop;close;", cv::Size(50, 30), 0},
        {2, NoBitmap, 0, "", "error: CreateDIBSection failed\n", failed},
        {2, UnsupportedFormat, 0, "", "error: unsupported screen format: depth 16\n", failed},
        {2, NoPortal, 0, "", "error: no screen cast portal: depth 16\n", failed},
        {2, CastRefused, 0, "", "error: screen cast refused: depth 16\n", failed},
        {2, NoStream, 0, "", "error: no screen cast stream: depth 16\n", failed},
        {2, NoFirstFrame, 0, "", "error: no frame from the screen cast: depth 16\n", failed},
        // The wallpaper at its own size; S_FALSE (already initialised) is balanced as well.
        {1, NoFailure, 0, name, still, wallpaper + "drop;com-uninit;"},
        {1, NoFailure, 1, name, still, wallpaper + "drop;com-uninit;"},
        // RPC_E_CHANGED_MODE: the thread lives in another apartment and owes nothing.
        {1, NoFailure, static_cast<std::int32_t>(0x80010106u), "", "error: CoInitializeEx failed\n",
         "monitors;com-init;drop;"},
        {1, NoFailure, 0, "", "error: wallpaper path not found (solid color setting?)\n",
         wallpaper + "com-uninit;drop;"},
        {1, NoFailure, 0, "gone.png",
         "error: failed to load wallpaper: ", wallpaper + "com-uninit;drop;"},
    };
    TempDir dir;
    const cv::Mat picture(20, 30, CV_8UC3, cv::Scalar(30, 140, 250));
    ASSERT_TRUE(cv::imwrite((dir / name).string(), picture));
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.monitors << " monitors: " << c.line);
        ConsoleCapture console;
        Desktop desk;
        desk.rects.assign(kMonitors, kMonitors + c.monitors);
        desk.failure = c.failure;
        desk.comResult = c.com;
        desk.wallpaper = c.wallpaper.empty() ? std::filesystem::path() : dir / c.wallpaper;
        desk.shown = picture;
        desk.stream = c.stream;
        desk.index = c.index;
        std::unique_ptr<FrameSource> source = createMonitorSource(desk);
        const std::string line =
            c.line + (c.wallpaper.empty() ? "" : desk.wallpaper.string() + "\n");
        const bool made = line.starts_with("mode=");
        ASSERT_EQ(source != nullptr, made) << line;
        if (made) {
            cv::Mat frame;
            ASSERT_TRUE(source->read(frame));
            EXPECT_EQ(cv::norm(frame, desk.shown, cv::NORM_INF), 0);
            // Live frames follow a stream that changes its size.
            if (c.monitors > 1) {
                desk.stream = cv::Size(20, 10);
                ASSERT_TRUE(source->read(frame));
                EXPECT_EQ(cv::norm(frame, desk.shown, cv::NORM_INF), 0);
            }
            // Still reads share the one picture; a failed grab fails a live read.
            cv::Mat next;
            desk.grabsFail = true;
            EXPECT_EQ(source->read(next), c.monitors == 1);
            EXPECT_EQ(next.data == frame.data, c.monitors == 1);
        }
        desk.calls += "drop;";
        source.reset();
        EXPECT_EQ(console.out(), made ? line : "");
        EXPECT_EQ(console.err(), made ? "" : line);
        EXPECT_EQ(desk.calls, c.calls);
    }
}

// The command line's monitor: by number or name, live even when it is the only one, a region of
// it (of the last monitor when none is named) that must fit; and the listing of every source.
TEST(MonitorSource, TheChosenMonitorItsRegionAndTheListing) {
    using Kind = SourceRequest::Kind;
    const auto monitor = [](std::optional<std::string> which, std::optional<cv::Rect> region) {
        return SourceRequest{Kind::Monitor, {}, {}, std::move(which), region};
    };
    const std::string opened = "monitors;open ";
    const struct {
        std::size_t monitors;
        SourceRequest request;
        std::string line;
        std::string calls;
        platform::GrabberFailure failure = NoFailure;
    } cases[] = {
        {3, monitor("0", {}), "mode=screen monitors=3 monitor_index=0 width=64 height=48\n",
         opened + "0,0 only;"},
        {3, monitor("OUT-2", {}), "mode=screen monitors=3 monitor_index=2 width=32 height=24\n",
         opened + "-32,-8 only;"},
        {1, monitor("0", {}), "mode=screen monitors=1 monitor_index=0 width=64 height=48\n",
         opened + "0,0 only;"},
        {3, monitor("1", cv::Rect(2, 3, 10, 5)),
         "mode=screen monitors=3 monitor_index=1 width=10 height=5 x=2 y=3\n",
         opened + "66,3 only;"},
        {3, monitor("1", cv::Rect(22, 0, 10, 40)),
         "mode=screen monitors=3 monitor_index=1 width=10 height=40 x=22 y=0\n",
         opened + "86,0 only;"},
        {3, monitor({}, cv::Rect(0, 0, 16, 8)),
         "mode=screen monitors=3 monitor_index=2 width=16 height=8 x=0 y=0\n", opened + "-32,-8;"},
        {3, monitor("1", cv::Rect(23, 0, 10, 40)),
         "error: region 23,0,10x40 does not fit monitor 1 (32x40)\n", "monitors;"},
        {3, monitor("1", cv::Rect(0, 1, 32, 40)),
         "error: region 0,1,32x40 does not fit monitor 1 (32x40)\n", "monitors;"},
        {3, monitor("3", {}), "error: no monitor 3 (there are 3, numbered from 0)\n", "monitors;"},
        {3, monitor("HDMI-9", {}), "error: no monitor named HDMI-9\n", "monitors;"},
        {0, monitor("0", {}), "error: no monitor found\n", "monitors;"},
        {3, monitor("0", {}), "error: the screen cast shows another monitor: depth 16\n",
         opened + "0,0 only;", OtherMonitor},
        {3,
         {Kind::Wallpaper, {}, {}, {}, {}},
         "error: wallpaper path not found (solid color setting?)\n",
         "com-init;wallpaper;com-uninit;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ConsoleCapture console;
        Desktop desk;
        desk.rects.assign(kMonitors, kMonitors + c.monitors);
        desk.failure = c.failure;
        std::unique_ptr<FrameSource> source = makeSource(c.request, {}, desk);
        EXPECT_EQ(source ? console.out() : console.err(), c.line);
        cv::Mat frame;
        EXPECT_TRUE(!source || (source->read(frame) && frame.size() == desk.shown.size()));
        source.reset();
        EXPECT_EQ(desk.calls, c.calls + (c.line.starts_with("mode") ? "grab;close;" : ""));
    }

    TempDir dir;
    ASSERT_TRUE(cv::imwrite((dir / "w.png").string(), cv::Mat(4, 4, CV_8UC3)));
    Desktop desk;
    desk.rects.assign(kMonitors, kMonitors + 3);
    desk.wallpaper = dir / "w.png";
    std::ostringstream listed;
    listSources(
        listed, [](int, int) { return std::unique_ptr<CaptureDevice>(); }, desk);
    EXPECT_EQ(listed.str(),
              "monitor 0 OUT-0 0,0 64x48\nmonitor 1 OUT-1 64,0 32x40\n"
              "monitor 2 OUT-2 -32,-8 32x24\nwallpaper " +
                  desk.wallpaper.string() + "\n");
}

}  // namespace
