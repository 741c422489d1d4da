#pragma once

#include <opencv2/core.hpp>

// White (255) where the gray frame differs from `prevGray` by more than 25, black elsewhere.
// With no previous frame, or one of another size, the mask is all black. Either way `prevGray`
// is left holding its own copy of `gray` for the next call.
cv::Mat makeMotionView(const cv::Mat& gray, cv::Mat& prevGray);

// The number of pixels makeMotionView would mark white, without making the mask or touching
// `prevGray`: 0 with no previous frame, or one of another size or type.
int countMotionPixels(const cv::Mat& gray, const cv::Mat& prevGray);
