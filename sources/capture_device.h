#pragma once

#include <functional>
#include <memory>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

// The part of a video capture that the camera source uses; tests put modelled cameras behind it.
class CaptureDevice {
  public:
    virtual ~CaptureDevice() = default;
    virtual bool isOpened() const = 0;
    virtual bool read(cv::Mat& image) = 0;
    virtual double get(int property) const = 0;
    virtual bool set(int property, double value) = 0;
};

// A capture of OpenCV's, opened or not.
class VideoCaptureDevice final : public CaptureDevice {
  public:
    explicit VideoCaptureDevice(cv::VideoCapture capture) : capture_(std::move(capture)) {}
    bool isOpened() const override { return capture_.isOpened(); }
    bool read(cv::Mat& image) override { return capture_.read(image); }
    double get(int property) const override { return capture_.get(property); }
    bool set(int property, double value) override { return capture_.set(property, value); }

  private:
    cv::VideoCapture capture_;
};

// Opens the camera at a device index with a capture back end (a cv::CAP_* value).
using CaptureOpener = std::function<std::unique_ptr<CaptureDevice>(int index, int api)>;

// Opens cameras through OpenCV's cv::VideoCapture.
std::unique_ptr<CaptureDevice> openVideoCapture(int index, int api);
