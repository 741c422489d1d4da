#include "hist/gradient_strip.h"

#include <algorithm>
#include <cmath>

cv::Mat makeGradientStrip(int width, int rows, const std::function<cv::Vec3b(int)>& colourOf) {
    const int columns = std::max(width, 1);
    const int lastColumn = std::max(columns - 1, 1);
    cv::Mat strip(rows, columns, CV_8UC3);
    for (int c = 0; c < columns; ++c) {
        const int v = static_cast<int>(std::lround(c * 255.0 / lastColumn));
        const cv::Vec3b pixel = colourOf(v);
        strip.col(c).setTo(cv::Scalar(pixel[0], pixel[1], pixel[2]));
    }
    return strip;
}
