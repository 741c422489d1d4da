#include <map>

#include <gtest/gtest.h>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>

#include "platform/platform.h"
#include "sources/usb_source.h"
#include "tests/support/console_capture.h"

namespace {

namespace logging = cv::utils::logging;

// A modelled camera: what the reads of each open give ('f' a frame, 'e' success with an empty
// image, 'x' failure; failures after the last), whether a second open works, its frame size.
struct Camera {
    std::string reads = "f";
    bool reopens = true;
    double width = 64;
    double height = 48;
    int opens = 0;
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
        image = result == 'f' ? cv::Mat(8, 8, CV_8UC3) : cv::Mat();
        return result != 'x';
    }
    double get(int property) const override {
        return property == cv::CAP_PROP_FRAME_WIDTH ? camera.width : camera.height;
    }

    const Camera& camera;
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
        // Five reads to deliver a non-empty frame: 3 does on its fifth, 5 never does.
        {{{3, {"xxxxf"}}, {5, {"eeeeef"}}}, "mode=usb device_id=3 width=64 height=48\n", "3 ", 0},
        {{{15, {"fe", true, 0, 1e6}}}, "mode=usb device_id=15 width=0 height=1e+06\n", "15 ", 1},
        {{}, "error: no camera found\n", "", 0},
        {{{12, {.reopens = false}}}, "error: cannot open device 12\n", "12 ", 0},
    };
    for (const auto& c : cases) {
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

}  // namespace
