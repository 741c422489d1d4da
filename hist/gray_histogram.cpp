#include "hist/gray_histogram.h"

#include <opencv2/imgproc.hpp>

#include "hist/channel_hist.h"
#include "hist/dynamic_range.h"
#include "hist/plot.h"
#include "hist/window_canvas.h"

namespace {

const cv::Scalar kCurveColour(220, 220, 220, 0);
const cv::Scalar kLowMarkerColour(40, 40, 230, 0);
const cv::Scalar kHighMarkerColour(60, 220, 60, 0);
constexpr double kRangeTextScale = 0.5;

// Lives until the process ends; only the main thread draws.
hist::CanvasCache& canvasCache() {
    static hist::CanvasCache cache;
    return cache;
}

void drawMarker(cv::Mat& image, const hist::PlotArea& area, int level, const cv::Scalar& colour) {
    const int x = hist::binX(area, level);
    cv::line(image, {x, area.top}, {x, area.bottom}, colour, 2, cv::LINE_AA, 0);
}

// Right-aligned so that the text ends at the plot's right edge.
void drawRangeText(cv::Mat& image, const hist::PlotArea& area, int range) {
    const std::string text = hist::dynamicRangeText(range);
    int baseline = 0;
    const cv::Size extent =
        cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, kRangeTextScale, 1, &baseline);
    cv::putText(image, text, {area.right - extent.width, 22}, cv::FONT_HERSHEY_SIMPLEX,
                kRangeTextScale, kHighMarkerColour, 1, cv::LINE_AA, false);
}

}  // namespace

cv::Mat renderGrayHistogram(const cv::Mat& gray, cv::Size size, double fps) {
    const hist::PlotArea area = hist::grayPlotArea(size);
    cv::Mat image = hist::startWindowImage(canvasCache(), "Histogram - Gray", size, area, 0, fps);

    // The raw counts stay unscaled for the dynamic range.
    const cv::Mat counts = hist::calcChannelHist(gray);
    cv::Mat hist01 = counts.clone();
    hist::normalizeTo01(hist01);
    hist::plot(image, area, hist01, kCurveColour);

    const hist::RangePoints points = hist::findRangePoints(counts);
    drawMarker(image, area, points.low, kLowMarkerColour);
    drawMarker(image, area, points.high, kHighMarkerColour);
    drawRangeText(image, area, points.high - points.low);
    return image;
}
