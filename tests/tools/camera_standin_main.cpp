// The real program with a stand-in camera: device index 3 is a GStreamer test pattern, every
// other index is absent. Everything else (prompt, probe, loop, windows) is the product's code.
#include <iostream>

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>

#include "app/velmora_app.h"
#include "sources/monitor_source.h"
#include "sources/usb_source.h"

namespace {

constexpr int kStandInIndex = 3;
constexpr const char* kPipeline =
    "videotestsrc pattern=ball is-live=true ! video/x-raw,width=1280,height=1024,framerate=30/1 "
    "! videoconvert ! video/x-raw,format=BGR ! appsink";

}  // namespace

int main() {
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_WARNING);
    HighguiWindows windows;
    const CaptureOpener opener = [](int index, int) {
        cv::VideoCapture capture;
        if (index == kStandInIndex) {
            capture.open(kPipeline, cv::CAP_GSTREAMER);
        }
        return std::make_unique<VideoCaptureDevice>(std::move(capture));
    };
    const SourceFactories factories{[&] { return createUsbSource(opener); },
                                    [] { return createMonitorSource(); }};
    return runVelmora(std::cin, std::cout, factories, windows);
}
