#include "sources/usb_source.h"

#include <iostream>
#include <vector>

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>

#include "platform/platform.h"

namespace {

constexpr int kDeviceCount = 16;
constexpr int kProbeReads = 5;

// The first non-empty frame of up to five reads; empty when none comes.
cv::Mat firstFrame(CaptureDevice& capture) {
    cv::Mat image;
    for (int attempt = 0; attempt < kProbeReads; ++attempt) {
        if (capture.read(image) && !image.empty()) {
            return image;
        }
    }
    return {};
}

struct WorkingCamera {
    int index;
    cv::Size size;  // of the frame it delivered
};

// Every index is probed in turn; each probe closes its device again.
std::vector<WorkingCamera> probeCameras(const CaptureOpener& open, int api) {
    std::vector<WorkingCamera> working;
    for (int index = 0; index < kDeviceCount; ++index) {
        std::unique_ptr<CaptureDevice> capture = open(index, api);
        if (capture && capture->isOpened()) {
            if (const cv::Mat frame = firstFrame(*capture); !frame.empty()) {
                working.push_back({index, frame.size()});
            }
        }
    }
    return working;
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

std::vector<WorkingCamera> silentProbe(const CaptureOpener& open) {
    const SilentLog silent;
    return probeCameras(open, platform::cameraBackend());
}

// The highest index that works, or an error line and -1.
int highestWorkingCamera(const CaptureOpener& open) {
    const std::vector<WorkingCamera> working = silentProbe(open);
    if (working.empty()) {
        std::cerr << "error: no camera found\n";
        return -1;
    }
    return working.back().index;
}

// Before the first frame: the size, in the format that delivers it at a usable rate.
void askForSize(CaptureDevice& capture, int index, cv::Size size) {
    if (const int fourcc = platform::cameraFormatFor(index, size.width, size.height); fourcc != 0) {
        capture.set(cv::CAP_PROP_FOURCC, fourcc);
    }
    capture.set(cv::CAP_PROP_FRAME_WIDTH, size.width);
    capture.set(cv::CAP_PROP_FRAME_HEIGHT, size.height);
}

}  // namespace

UsbSource::UsbSource(std::unique_ptr<CaptureDevice> capture, cv::Mat first)
    : capture(std::move(capture)), first(std::move(first)) {}

bool UsbSource::read(cv::Mat& out) {
    if (!first.empty()) {
        out = first;
        first.release();
        return true;
    }
    return capture->read(out) && !out.empty();
}

std::unique_ptr<FrameSource> createUsbSource(const CaptureOpener& open) {
    const int chosen = highestWorkingCamera(open);
    if (chosen < 0) {
        return nullptr;
    }
    std::unique_ptr<CaptureDevice> capture = open(chosen, platform::cameraBackend());
    if (!capture || !capture->isOpened()) {
        std::cerr << "error: cannot open device " << chosen << "\n";
        return nullptr;
    }
    std::cout << "mode=usb device_id=" << chosen
              << " width=" << capture->get(cv::CAP_PROP_FRAME_WIDTH)
              << " height=" << capture->get(cv::CAP_PROP_FRAME_HEIGHT) << "\n";
    return std::make_unique<UsbSource>(std::move(capture));
}

std::unique_ptr<FrameSource> createCameraSource(const SourceRequest& request,
                                                const CaptureOpener& open) {
    if (!request.camera && !request.size) {
        return createUsbSource(open);
    }
    const int index = request.camera ? *request.camera : highestWorkingCamera(open);
    if (index < 0) {
        return nullptr;
    }
    std::unique_ptr<CaptureDevice> capture = open(index, platform::cameraBackend());
    if (!capture || !capture->isOpened()) {
        std::cerr << "error: cannot open camera " << index << "\n";
        return nullptr;
    }
    if (request.size) {
        askForSize(*capture, index, *request.size);
    }
    cv::Mat first = firstFrame(*capture);
    if (first.empty()) {
        std::cerr << "error: camera " << index << " delivers no frame\n";
        return nullptr;
    }
    std::cout << "mode=usb device_id=" << index << " width=" << first.cols
              << " height=" << first.rows << "\n";
    return std::make_unique<UsbSource>(std::move(capture), std::move(first));
}

void listCameras(std::ostream& out, const CaptureOpener& open) {
    for (const WorkingCamera& camera : silentProbe(open)) {
        out << "camera " << camera.index << " " << camera.size.width << "x" << camera.size.height
            << "\n";
    }
}
