#include <map>

#include <gtest/gtest.h>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>

#include "platform/platform.h"
#include "sources/usb_source.h"
#include "tests/support/console_capture.h"

namespace {

using cv::utils::logging::getLogLevel;
using cv::utils::logging::LogLevel;
using cv::utils::logging::setLogLevel;

// A modelled camera: whether it opens (first and later opens separately), which of its reads
// deliver a frame, and the sizes it reports.
struct CameraModel {
    bool opens = true;
    bool reopens = true;
    std::vector<bool> goodReads = {true};
    bool emptyImageOnBadRead = false;
    double width = 1280;
    double height = 720;
};

class ModelledCapture final : public CaptureDevice {
  public:
    ModelledCapture(const CameraModel& model, bool opened) : model_(model), opened_(opened) {}
    bool isOpened() const override { return opened_; }
    bool read(cv::Mat& image) override {
        const bool good = reads_ < model_.goodReads.size() ? model_.goodReads[reads_] : true;
        ++reads_;
        if (good) {
            image.create(8, 8, CV_8UC3);
            return true;
        }
        image.release();
        return model_.emptyImageOnBadRead;  // "success" with an empty image, or plain failure
    }
    double get(int property) const override {
        if (property == cv::CAP_PROP_FRAME_WIDTH)
            return model_.width;
        if (property == cv::CAP_PROP_FRAME_HEIGHT)
            return model_.height;
        return 0;
    }

  private:
    CameraModel model_;
    bool opened_;
    std::size_t reads_ = 0;
};

struct Cameras {
    std::map<int, CameraModel> models;
    std::map<int, int> opens;
    std::vector<int> apis;
    std::vector<LogLevel> levelsAtOpen;

    CaptureOpener opener() {
        return [this](int index, int api) -> std::unique_ptr<CaptureDevice> {
            apis.push_back(api);
            levelsAtOpen.push_back(getLogLevel());
            const int count = ++opens[index];
            const auto it = models.find(index);
            if (it == models.end()) {
                return std::make_unique<ModelledCapture>(CameraModel{}, false);
            }
            const bool opened = count == 1 ? it->second.opens : it->second.reopens;
            return std::make_unique<ModelledCapture>(it->second, opened);
        };
    }
};

TEST(UsbSource, TheHighestWorkingIndexIsChosenAfterProbingAllSixteen) {
    ConsoleCapture console;
    Cameras cameras;
    cameras.models[0] = {};
    cameras.models[2] = {.width = 1280, .height = 720};
    const auto source = createUsbSource(cameras.opener());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(console.out(), "mode=usb device_id=2 width=1280 height=720\n");
    EXPECT_EQ(console.err(), "");
    EXPECT_EQ(cameras.opens.size(), 16u);
    EXPECT_EQ(cameras.opens[2], 2);  // probed, then opened again
    EXPECT_EQ(cameras.opens[0], 1);
    for (const int api : cameras.apis) {
        EXPECT_EQ(api, platform::cameraBackend());
    }
}

TEST(UsbSource, ADeviceGetsFiveReadsToDeliverAFrame) {
    ConsoleCapture console;
    Cameras cameras;
    cameras.models[3] = {.goodReads = {false, false, false, false, true}};
    cameras.models[5] = {.goodReads = {false, false, false, false, false, true},
                         .emptyImageOnBadRead = true};
    const auto source = createUsbSource(cameras.opener());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(console.out().rfind("mode=usb device_id=3 ", 0), 0u) << console.out();
}

TEST(UsbSource, NoCameraWritesOneErrorLineAndNothingElse) {
    ConsoleCapture console;
    Cameras cameras;
    cameras.models[1] = {.goodReads = {false, false, false, false, false, true}};
    EXPECT_EQ(createUsbSource(cameras.opener()), nullptr);
    EXPECT_EQ(console.err(), "error: no camera found\n");
    EXPECT_EQ(console.out(), "");
}

TEST(UsbSource, AFailedReopenNamesTheIndex) {
    ConsoleCapture console;
    Cameras cameras;
    cameras.models[0] = {.reopens = false};
    EXPECT_EQ(createUsbSource(cameras.opener()), nullptr);
    EXPECT_EQ(console.err(), "error: cannot open device 0\n");
    EXPECT_EQ(console.out(), "");
}

TEST(UsbSource, StatusLineUsesTheStreamsDefaultNumberFormat) {
    const struct {
        double width, height;
        const char* line;
    } cases[] = {{1280.0, 720.0, "mode=usb device_id=7 width=1280 height=720\n"},
                 {0.0, 0.0, "mode=usb device_id=7 width=0 height=0\n"},
                 {640.5, 1234567.0, "mode=usb device_id=7 width=640.5 height=1.23457e+06\n"}};
    for (const auto& c : cases) {
        ConsoleCapture console;
        Cameras cameras;
        cameras.models[7] = {.width = c.width, .height = c.height};
        ASSERT_NE(createUsbSource(cameras.opener()), nullptr);
        EXPECT_EQ(console.out(), c.line);
    }
}

TEST(UsbSource, TheLogIsSilentWhileProbingAndRestoredOnEveryPath) {
    const LogLevel before = getLogLevel();
    for (const bool reopens : {true, false}) {
        for (const bool anyCamera : {true, false}) {
            ConsoleCapture console;
            setLogLevel(cv::utils::logging::LOG_LEVEL_DEBUG);
            Cameras cameras;
            if (anyCamera) {
                cameras.models[4] = {.reopens = reopens};
            }
            createUsbSource(cameras.opener());
            EXPECT_EQ(getLogLevel(), cv::utils::logging::LOG_LEVEL_DEBUG);
            for (std::size_t i = 0; i < 16; ++i) {
                EXPECT_EQ(cameras.levelsAtOpen[i], cv::utils::logging::LOG_LEVEL_SILENT);
            }
            if (anyCamera) {
                EXPECT_EQ(cameras.levelsAtOpen.at(16), cv::utils::logging::LOG_LEVEL_DEBUG);
            }
        }
    }
    setLogLevel(before);
}

TEST(UsbSource, ReadFailsOnAFailedOrEmptyCapture) {
    CameraModel model{.goodReads = {true, false, false}};
    UsbSource failing(std::make_unique<ModelledCapture>(model, true));
    cv::Mat frame;
    EXPECT_TRUE(failing.read(frame));
    EXPECT_FALSE(failing.read(frame));
    model.emptyImageOnBadRead = true;
    UsbSource empty(std::make_unique<ModelledCapture>(model, true));
    EXPECT_TRUE(empty.read(frame));
    EXPECT_FALSE(empty.read(frame));
}

}  // namespace
