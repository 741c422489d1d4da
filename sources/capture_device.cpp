#include "sources/capture_device.h"

#include <opencv2/videoio.hpp>

namespace {

class VideoCaptureDevice final : public CaptureDevice {
  public:
    VideoCaptureDevice(int index, int api) { capture_.open(index, api); }
    bool isOpened() const override { return capture_.isOpened(); }
    bool read(cv::Mat& image) override { return capture_.read(image); }
    double get(int property) const override { return capture_.get(property); }

  private:
    cv::VideoCapture capture_;
};

}  // namespace

std::unique_ptr<CaptureDevice> openVideoCapture(int index, int api) {
    return std::make_unique<VideoCaptureDevice>(index, api);
}
