#pragma once

#include <string>

#include <opencv2/core.hpp>

// Receives the image of each window once per frame: the real windows, or a recorder.
class ImageSink {
  public:
    virtual ~ImageSink() = default;
    virtual void show(const std::string& title, const cv::Mat& image) = 0;
};
