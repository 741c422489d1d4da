#include "sources/monitor_source.h"

#include <iostream>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>

MonitorSource::MonitorSource(platform::MonitorPlatform& os) : os(os) {}

// The capture memory goes first, then what reading the settings held (COM's apartment on
// Windows), then the still image; each only when held.
MonitorSource::~MonitorSource() {
    grabber.reset();
    settings.reset();
    image.release();
}

bool MonitorSource::read(cv::Mat& out) {
    if (stillImage) {
        // A second header on the stored pixels: nothing is copied, and the loop only reads them.
        out = image;
        return !out.empty();
    }
    return readLive(out);
}

bool MonitorSource::readLive(cv::Mat& out) {
    if (!grabber->grab()) {
        return false;
    }
    // A screen cast stream may change its size while it runs; the frames follow it.
    width = grabber->width();
    height = grabber->height();
    const cv::Mat wrapper(height, width, CV_8UC4, const_cast<unsigned char*>(grabber->rows()),
                          grabber->rowStride());
    // The caller's buffer is reused once it has the monitor's size.
    cv::cvtColor(wrapper, out, cv::COLOR_BGRA2BGR);
    return true;
}

namespace {

using enum platform::GrabberFailure;

std::string failureLine(const platform::GrabberResult& opened) {
    switch (opened.failure) {
        case UnsupportedFormat:
            return "error: unsupported screen format: " + opened.detail;
        case NoPortal:
            return "error: no screen cast portal: " + opened.detail;
        case CastRefused:
            return "error: screen cast refused: " + opened.detail;
        case NoStream:
            return "error: no screen cast stream: " + opened.detail;
        case NoFirstFrame:
            return "error: no frame from the screen cast: " + opened.detail;
        case OtherMonitor:
            return "error: the screen cast shows another monitor: " + opened.detail;
        default:
            return "error: " + opened.detail;
    }
}

}  // namespace

std::unique_ptr<FrameSource> createMonitorSource(platform::MonitorPlatform& os) {
    const std::vector<platform::Monitor> monitors = os.monitors();
    if (monitors.empty()) {
        std::cerr << "error: no monitor found\n";
        return nullptr;
    }
    if (monitors.size() == 1) {
        return createWallpaperSource(os);
    }
    const platform::MonitorRect& last = monitors.back().rect;
    return createScreenSource({last, last, false, monitors.size() - 1}, monitors.size(), os);
}

std::unique_ptr<FrameSource> createScreenSource(const platform::CaptureArea& capture,
                                                std::uint64_t count,
                                                platform::MonitorPlatform& os) {
    auto source = std::make_unique<MonitorSource>(os);
    source->monitorRect = capture.area;
    platform::GrabberResult opened = os.openGrabber(capture);
    if (!opened.grabber) {
        std::cerr << failureLine(opened) << "\n";
        return nullptr;
    }
    source->grabber = std::move(opened.grabber);
    // The size of the frames, which a screen cast stream chooses for itself.
    source->width = source->grabber->width();
    source->height = source->grabber->height();
    std::cout << "mode=screen monitors=" << count
              << " monitor_index=" << opened.monitorIndex.value_or(capture.index)
              << " width=" << source->width << " height=" << source->height;
    if (!(capture.area == capture.monitor)) {
        std::cout << " x=" << capture.area.left - capture.monitor.left
                  << " y=" << capture.area.top - capture.monitor.top;
    }
    std::cout << "\n";
    return source;
}
