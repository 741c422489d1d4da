#pragma once

#include <opencv2/core.hpp>

namespace hist {

// One bin per 8-bit level.
inline constexpr int kBins = 256;

// The 256 x 1 CV_32FC1 histogram of raw pixel counts of an 8-bit single-channel image; any other
// image type raises the image library's assertion failure.
cv::Mat calcChannelHist(const cv::Mat& channel);

// Rescales a histogram in its own buffer so that its smallest bin becomes 0 and its largest 1;
// a histogram whose bins are all equal becomes all 0.
void normalizeTo01(cv::Mat& hist);

}  // namespace hist
