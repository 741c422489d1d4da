#pragma once

#include <opencv2/core.hpp>

namespace literal {

// The two histogram window images the plain way: the colour frame split into three images, one
// histogram call per channel, and every curve's fill drawn on a clone of the whole canvas and
// blended over all of it. Each keeps its own base-canvas cache.
cv::Mat renderGrayHistogram(const cv::Mat& gray, cv::Size size, double fps);
cv::Mat renderRgbHistogram(const cv::Mat& bgr, cv::Size size, double fps);

}  // namespace literal
