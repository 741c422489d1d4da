#pragma once

#include <string_view>

#include <opencv2/core.hpp>

namespace hist {

// The room left of the plots for the level labels, and above them for the title.
inline constexpr int kLabelRoom = 46;
inline constexpr int kTitleRoom = 34;

// The look that the histogram and scope windows share: background, title and axis labels.
cv::Mat blankCanvas(cv::Size size);
void drawTitle(cv::Mat& canvas, std::string_view title);
void drawLabel(cv::Mat& canvas, std::string_view text, cv::Point origin);

}  // namespace hist
