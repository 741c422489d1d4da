#pragma once

#include <opencv2/core.hpp>

// The centred log-magnitude spectrum of the gray frame as an 8-bit picture stretched over 0..255.
// The frame is zero-padded at the bottom and right to sizes the transform handles fast, and the
// result is cropped to even sizes, so it can be larger than the frame. A frame one pixel high or
// wide has no even crop left and gives an all-black picture of its own size.
cv::Mat makeSpectrumView(const cv::Mat& gray);
