#pragma once

#include <opencv2/core.hpp>

// Writes `gray` as floats into the top-left corner of `padded` (CV_32F, at least as large) and
// zeros into the rest, which a larger frame of the same padded size may have written before.
// Blocks of rows are spread over the image library's threads.
void fillPadded(const cv::Mat& gray, cv::Mat& padded);
