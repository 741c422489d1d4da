#pragma once

#include <functional>

#include <opencv2/core.hpp>

// A CV_8UC3 strip of `rows` rows and max(width, 1) columns whose columns run through `colourOf`
// from index 0 at the left to 255 at the right. An empty `colourOf` raises
// std::bad_function_call.
cv::Mat makeGradientStrip(int width, int rows, const std::function<cv::Vec3b(int)>& colourOf);
