#pragma once

#include <opencv2/core.hpp>

// The colour histogram image of `size` for a BGR frame: the blue, green and red curves drawn
// over one another, red last, and the frame rate. A frame without exactly three channels, or
// with channels that are not 8-bit, raises the image library's assertion failure.
cv::Mat renderRgbHistogram(const cv::Mat& bgr, cv::Size size, double fps);
