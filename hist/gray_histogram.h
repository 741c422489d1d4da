#pragma once

#include <opencv2/core.hpp>

// The gray histogram image of `size` for a CV_8UC1 frame: the curve of its levels, the 5 % and
// 95 % markers, the dynamic range between them and the frame rate. A frame of any other type
// raises the image library's assertion failure.
cv::Mat renderGrayHistogram(const cv::Mat& gray, cv::Size size, double fps);
