#pragma once

#include <iosfwd>
#include <memory>

#include "sources/capture_device.h"
#include "sources/frame_source.h"
#include "sources/source_request.h"

// A camera, opened once by the factory and kept open until the source is destroyed. A frame the
// factory already read comes first.
class UsbSource final : public FrameSource {
  public:
    explicit UsbSource(std::unique_ptr<CaptureDevice> capture, cv::Mat first = {});
    bool read(cv::Mat& out) override;
    std::string_view kind() const override { return "camera"; }

  private:
    std::unique_ptr<CaptureDevice> capture;
    cv::Mat first;
};

// Probes device indices 0 to 15 and opens the highest one that delivers a frame. Prints the
// status line on standard output, or an error line on standard error and returns null.
std::unique_ptr<FrameSource> createUsbSource(const CaptureOpener& open = openVideoCapture);

// The camera the command line chose: the answer 1 as it is when neither an index nor a size is
// asked for; else device `request.camera` (or the highest that works), asked for `request.size`
// before its first frame, whose size the status line then tells.
std::unique_ptr<FrameSource> createCameraSource(const SourceRequest& request,
                                                const CaptureOpener& open = openVideoCapture);

// "camera N WIDTHxHEIGHT" for every device index 0 to 15 that opens and delivers a frame.
void listCameras(std::ostream& out, const CaptureOpener& open = openVideoCapture);
