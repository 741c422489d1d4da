#pragma once

#include <functional>
#include <memory>

#include <opencv2/core.hpp>

// The part of a video capture that the camera source uses; tests put modelled cameras behind it.
class CaptureDevice {
  public:
    virtual ~CaptureDevice() = default;
    virtual bool isOpened() const = 0;
    virtual bool read(cv::Mat& image) = 0;
    virtual double get(int property) const = 0;
};

// Opens the camera at a device index with a capture back end (a cv::CAP_* value).
using CaptureOpener = std::function<std::unique_ptr<CaptureDevice>(int index, int api)>;

// Opens cameras through OpenCV's cv::VideoCapture.
std::unique_ptr<CaptureDevice> openVideoCapture(int index, int api);
