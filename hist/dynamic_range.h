#pragma once

#include <string>

#include <opencv2/core.hpp>

namespace hist {

// The gray levels at which the cumulative count first reaches 5 % and 95 % of all pixels.
struct RangePoints {
    int low;
    int high;
};

// Scans a histogram of raw counts (kBins elements, CV_32FC1); a point never reached is 255.
RangePoints findRangePoints(const cv::Mat& counts);

// "Dynamic Range(5%-95%)=N".
std::string dynamicRangeText(int range);

}  // namespace hist
