#pragma once

#include <array>
#include <cstdint>

#include <opencv2/core.hpp>

#include "hist/scope_canvas.h"

namespace hist {

// The waveform's plot in a picture of `size`.
ScopePlot waveformPlot(cv::Size size);

// The parade's three plots side by side: red left, green middle, blue right.
std::array<ScopePlot, 3> paradePlots(cv::Size size);

// The row of a level in a plot: 0 on its bottom row, 255 on its top row, linear between.
int levelRow(const ScopePlot& plot, int level);

// For each column of the gray display copy, the distribution of its levels, columns left to
// right, a point the brighter the more pixels of its column have its level; the graticule marks
// the levels 0, 64, 128, 192 and 255. The sharpness is printed at the top right.
cv::Mat renderWaveform(const cv::Mat& shownGray, cv::Size size, double sharpness,
                       CanvasCache& cache);

// The same for the red, green and blue channels of the display copy of the frame, each in its
// colour; the shares of the full frame's pixels with a channel at 0 and at 255 at the top right.
cv::Mat renderParade(const cv::Mat& shownFrame, cv::Size size, double clippedLow,
                     double clippedHigh, CanvasCache& cache);

}  // namespace hist
