#pragma once

#include <opencv2/core.hpp>

namespace literal {

// The spectrum picture the plain way: the frame padded, merged with a zero imaginary plane into
// a complex image, transformed whole, split, magnitude, log, cropped, swapped through one
// buffer, stretched and converted; every image allocated within the call.
cv::Mat makeSpectrumView(const cv::Mat& gray);

}  // namespace literal
