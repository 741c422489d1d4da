#pragma once

#include <vector>

#include <opencv2/core.hpp>

#include "hist/plot_area.h"

namespace hist {

// One point per bin of a CV_32FC1 histogram of kBins elements scaled to [0, 1]: value 0 on
// `bottom`, 1 on `bottom` - `height`. Values are not clamped.
std::vector<cv::Point> curvePoints(const PlotArea& area, const cv::Mat& hist01);

// Draws the histogram into the canvas (CV_8UC3, as every window image is): the area under the curve
// tinted 22 % towards `colour`, a halo of half the colour along the curve and the curve itself. A
// histogram that is not CV_32FC1 or has not kBins elements raises the image library's assertion
// failure before anything is drawn.
void plot(cv::Mat& canvas, const PlotArea& area, const cv::Mat& hist01, const cv::Scalar& colour);

}  // namespace hist
