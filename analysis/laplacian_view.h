#pragma once

#include <opencv2/core.hpp>

// The absolute Laplacian of the gray frame, saturated to 8 bits: edges and fine texture bright,
// flat areas black. Same size as the frame. The border is mirrored without repeating the edge
// pixel; a region of a larger image is filtered as an image of its own.
cv::Mat makeLaplacianView(const cv::Mat& gray);
