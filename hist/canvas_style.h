#pragma once

#include <string_view>

#include <opencv2/core.hpp>

namespace hist {

// The look that the histogram and scope windows share: background, title and axis labels.
cv::Mat blankCanvas(cv::Size size);
void drawTitle(cv::Mat& canvas, std::string_view title);
void drawLabel(cv::Mat& canvas, std::string_view text, cv::Point origin);

}  // namespace hist
