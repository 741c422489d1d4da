#include "hist/plot.h"

#include <opencv2/imgproc.hpp>

#include "hist/channel_hist.h"
#include "hist/check.h"

namespace hist {

namespace {

// Tints the pixels the filled polygon covers 22 % towards `colour`. The blend leaves a pixel
// that is blended with itself unchanged, so only the polygon's bounding box is blended.
void tintPolygon(cv::Mat& canvas, const std::vector<cv::Point>& polygon, const cv::Scalar& colour) {
    const cv::Rect whole(0, 0, canvas.cols, canvas.rows);
    cv::Rect box = cv::boundingRect(polygon);
    if ((box & whole) != box) {
        // A polygon clipped at the border is filled in canvas coordinates, as it always was.
        box = whole;
    }
    cv::Mat region = canvas(box);
    cv::Mat overlay = region.clone();
    const std::vector<std::vector<cv::Point>> polygons{polygon};
    cv::fillPoly(overlay, polygons, colour, cv::LINE_8, 0, -box.tl());
    cv::addWeighted(overlay, 0.22, region, 0.78, 0.0, region);
}

}  // namespace

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
    tintPolygon(canvas, polygon, colour);

    cv::polylines(canvas, curve, false, colour * 0.5, 3, cv::LINE_AA, 0);
    cv::polylines(canvas, curve, false, colour, 1, cv::LINE_AA, 0);
}

}  // namespace hist
