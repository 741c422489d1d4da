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

class PipelineCapture final : public CaptureDevice {
  public:
    explicit PipelineCapture(int index) {
        if (index == kStandInIndex) {
            capture_.open(kPipeline, cv::CAP_GSTREAMER);
        }
    }
    bool isOpened() const override { return capture_.isOpened(); }
    bool read(cv::Mat& image) override { return capture_.read(image); }
    double get(int property) const override { return capture_.get(property); }

  private:
    cv::VideoCapture capture_;
};

}  // namespace

int main() {
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_WARNING);
    HighguiWindows windows;
    const CaptureOpener opener = [](int index, int) {
        return std::make_unique<PipelineCapture>(index);
    };
    const SourceFactories factories{[&] { return createUsbSource(opener); },
                                    [] { return createMonitorSource(); }};
    return runVelmora(std::cin, std::cout, factories, windows);
}
