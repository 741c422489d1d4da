#include "hist/plot.h"

#include <opencv2/imgproc.hpp>

#include "hist/channel_hist.h"
#include "hist/check.h"

namespace hist {

std::vector<cv::Point> curvePoints(const PlotArea& area, const cv::Mat& hist01) {
    std::vector<cv::Point> curve;
    curve.reserve(kBins);
    const float height = static_cast<float>(area.height);
    // Row-major order, so a column and a row histogram are read alike.
    auto value = hist01.begin<float>();
    for (int i = 0; i < kBins; ++i, ++value) {
        // The product stays in single precision before it is truncated.
        const float lift = height * *value;
        curve.emplace_back(binX(area, i), area.bottom - static_cast<int>(lift));
    }
    return curve;
}

void plot(cv::Mat& canvas, const PlotArea& area, const cv::Mat& hist01, const cv::Scalar& colour) {
    HIST_CHECK(hist01.type() == CV_32FC1, "hist::plot");
    HIST_CHECK(hist01.total() == static_cast<size_t>(kBins), "hist::plot");
    const std::vector<cv::Point> curve = curvePoints(area, hist01);

    std::vector<cv::Point> polygon = curve;
    polygon.emplace_back(area.right, area.bottom);
    polygon.emplace_back(area.left, area.bottom);
    cv::Mat overlay = canvas.clone();
    const std::vector<std::vector<cv::Point>> polygons{polygon};
    cv::fillPoly(overlay, polygons, colour, cv::LINE_8, 0, cv::Point(0, 0));
    cv::addWeighted(overlay, 0.22, canvas, 0.78, 0.0, canvas);

    cv::polylines(canvas, curve, false, colour * 0.5, 3, cv::LINE_AA, 0);
    cv::polylines(canvas, curve, false, colour, 1, cv::LINE_AA, 0);
}

}  // namespace hist
