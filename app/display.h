#pragma once

#include <opencv2/core.hpp>

// An image of at least 1024 x 768 is shown at half size; a smaller one is shown as it is,
// sharing its pixels.
cv::Mat downscaleForDisplay(const cv::Mat& image);

// The size of every window, fixed from the first frame by the same limits with integer halving.
cv::Size windowSizeFor(cv::Size frame);
