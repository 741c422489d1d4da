#include "sources/usb_source.h"

#include <iostream>

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>

#include "platform/platform.h"

namespace {

constexpr int kDeviceCount = 16;
constexpr int kProbeReads = 5;

bool deliversFrame(CaptureDevice& capture) {
    cv::Mat image;
    for (int attempt = 0; attempt < kProbeReads; ++attempt) {
        if (capture.read(image) && !image.empty()) {
            return true;
        }
    }
    return false;
}

// Every index is probed; the highest one that works wins. Each probe closes its device again.
int probeCameras(const CaptureOpener& open, int api) {
    int chosen = -1;
    for (int index = 0; index < kDeviceCount; ++index) {
        std::unique_ptr<CaptureDevice> capture = open(index, api);
        if (capture && capture->isOpened() && deliversFrame(*capture)) {
            chosen = index;
        }
    }
    return chosen;
}

// Keeps the log silent while absent devices are probed, whatever way the probe ends.
class SilentLog {
  public:
    SilentLog()
        : previous_(cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT)) {}
    ~SilentLog() { cv::utils::logging::setLogLevel(previous_); }
    SilentLog(const SilentLog&) = delete;
    SilentLog& operator=(const SilentLog&) = delete;

  private:
    cv::utils::logging::LogLevel previous_;
};

}  // namespace

UsbSource::UsbSource(std::unique_ptr<CaptureDevice> capture) : capture(std::move(capture)) {}

bool UsbSource::read(cv::Mat& out) {
    return capture->read(out) && !out.empty();
}

std::unique_ptr<FrameSource> createUsbSource(const CaptureOpener& open) {
    const int api = platform::cameraBackend();
    int chosen = -1;
    {
        SilentLog silent;
        chosen = probeCameras(open, api);
    }
    if (chosen < 0) {
        std::cerr << "error: no camera found\n";
        return nullptr;
    }
    std::unique_ptr<CaptureDevice> capture = open(chosen, api);
    if (!capture || !capture->isOpened()) {
        std::cerr << "error: cannot open device " << chosen << "\n";
        return nullptr;
    }
    std::cout << "mode=usb device_id=" << chosen
              << " width=" << capture->get(cv::CAP_PROP_FRAME_WIDTH)
              << " height=" << capture->get(cv::CAP_PROP_FRAME_HEIGHT) << "\n";
    return std::make_unique<UsbSource>(std::move(capture));
}
