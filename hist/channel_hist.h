#pragma once

#include <array>

#include <opencv2/core.hpp>

namespace hist {

// One bin per 8-bit level.
inline constexpr int kBins = 256;

// The 256 x 1 CV_32FC1 histogram of raw pixel counts of an 8-bit single-channel image; any other
// image type raises the image library's assertion failure.
cv::Mat calcChannelHist(const cv::Mat& channel);

// The histograms of the three channels of a 3-channel image, channel 0 first, each as
// calcChannelHist makes it for that channel alone. An 8-bit image is counted in one pass over its
// pixels; a channel of any other depth raises calcChannelHist's assertion failure.
std::array<cv::Mat, 3> calcChannelHists(const cv::Mat& image);

// Rescales a histogram in its own buffer so that its smallest bin becomes 0 and its largest 1;
// a histogram whose bins are all equal becomes all 0.
void normalizeTo01(cv::Mat& hist);

}  // namespace hist
