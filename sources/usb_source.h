#pragma once

#include <memory>

#include "sources/capture_device.h"
#include "sources/frame_source.h"

// A camera, opened once by the factory and kept open until the source is destroyed.
class UsbSource final : public FrameSource {
  public:
    explicit UsbSource(std::unique_ptr<CaptureDevice> capture);
    bool read(cv::Mat& out) override;

  private:
    std::unique_ptr<CaptureDevice> capture;
};

// Probes device indices 0 to 15 and opens the highest one that delivers a frame. Prints the
// status line on standard output, or an error line on standard error and returns null.
std::unique_ptr<FrameSource> createUsbSource(const CaptureOpener& open = openVideoCapture);
