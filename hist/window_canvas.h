#pragma once

#include <string>
#include <string_view>

#include <opencv2/core.hpp>

#include "hist/plot_area.h"

namespace hist {

// The plot rectangles of the two histogram windows for a window of `size`; the colour window's
// plot ends 22 rows higher to leave room for three strips instead of one.
PlotArea grayPlotArea(cv::Size size);
PlotArea rgbPlotArea(cv::Size size);

// The base canvas of one window, kept between frames and rebuilt only when the size changes.
struct CanvasCache {
    cv::Size size;  // 0 x 0 until the first build
    cv::Mat canvas;
};

// "FPS: 29.9", one decimal.
std::string fpsText(double fps);

// Starts one frame's window image: a copy of the cached base canvas (built first when `size`
// differs from the cached size) with the frame rate printed on it. The cache is never drawn on.
cv::Mat startWindowImage(CanvasCache& cache, std::string_view title, cv::Size size,
                         const PlotArea& area, int rgbStrips, double fps);

}  // namespace hist
