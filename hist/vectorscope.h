#pragma once

#include <opencv2/core.hpp>

#include "hist/scope_canvas.h"

namespace hist {

// The vectorscope's square plot in a picture of `size`, centred in the room below the title.
ScopePlot vectorscopePlot(cv::Size size);

// Where a chroma lies in the plot: Cb to the right, Cr up, one scale on both axes, the neutral
// 128, 128 at the centre and 0 on the plot's edge.
cv::Point chromaPoint(const ScopePlot& plot, int cb, int cr);

// Every pixel of the display copy of the frame at its chroma (as cv::COLOR_BGR2YCrCb gives it),
// a point the brighter the more pixels share it, over a graticule of the circle of the full
// range, the targets of 75 % red, green, blue, yellow, cyan and magenta, and the skin-tone line.
cv::Mat renderVectorscope(const cv::Mat& shownFrame, cv::Size size, CanvasCache& cache);

}  // namespace hist
