#pragma once

#include <string_view>

#include <opencv2/core.hpp>

#include "hist/plot_area.h"

namespace hist {

// Everything of a histogram window that stays the same from frame to frame: background, grid,
// axis labels, frame, title and, under the plot, one gray strip (`rgbStrips` 0) or red, green
// and blue strips (any other value). Always exactly `size`; whatever does not fit is clipped.
cv::Mat createBaseCanvas(std::string_view title, cv::Size size, const PlotArea& area,
                         int rgbStrips);

}  // namespace hist
