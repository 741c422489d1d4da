#include "sources/capture_device.h"

std::unique_ptr<CaptureDevice> openVideoCapture(int index, int api) {
    return std::make_unique<VideoCaptureDevice>(cv::VideoCapture(index, api));
}
