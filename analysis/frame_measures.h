#pragma once

#include <cstdint>

#include <opencv2/core.hpp>

// The focus measure: the variance of the 3 x 3 Laplacian (the four neighbours less four times
// the pixel, mirrored at the border without repeating the edge) over a gray frame, as
// cv::Laplacian with aperture 1 into 64-bit floats and their population variance give it; 0 for
// an empty frame or one of another type.
double laplacianVariance(const cv::Mat& gray);

// The pixels of an 8-bit BGR frame with at least one channel at 0, and at 255; none for another
// type.
struct ClippedPixels {
    std::int64_t low = 0;
    std::int64_t high = 0;
};
ClippedPixels countClipped(const cv::Mat& bgr);
