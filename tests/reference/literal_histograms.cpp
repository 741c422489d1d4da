#include "tests/reference/literal_histograms.h"

#include <array>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "hist/base_canvas.h"
#include "hist/dynamic_range.h"
#include "hist/window_canvas.h"

namespace literal {

namespace {

constexpr int kBins = 256;

struct Cache {
    cv::Size size;
    cv::Mat canvas;
};

cv::Mat calcChannelHist(const cv::Mat& channel) {
    CV_Assert(channel.type() == CV_8UC1);
    const int channels[] = {0};
    const int histSize[] = {kBins};
    const float range[] = {0.0f, 256.0f};
    const float* ranges[] = {range};
    cv::Mat h;
    cv::calcHist(&channel, 1, channels, cv::Mat(), h, 1, histSize, ranges, true, false);
    return h.reshape(1, kBins);
}

// Scaled so that the least frequent bin is 0 and the most frequent 1, each level by
// (value - min) / (max - min) as the image library's scaled conversion computes it; all 0 when
// every bin is the same.
void normalizeTo01(cv::Mat& hist) {
    double least = 0.0;
    double most = 0.0;
    cv::minMaxLoc(hist, &least, &most);
    const double range = most - least;
    if (range > 0.0) {
        hist.convertTo(hist, CV_32FC1, 1.0 / range, -least / range);
    } else {
        hist = cv::Mat::zeros(hist.size(), CV_32FC1);
    }
}

void plot(cv::Mat& canvas, const hist::PlotArea& area, const cv::Mat& hist01,
          const cv::Scalar& colour) {
    std::vector<cv::Point> curve;
    const float height = static_cast<float>(area.height);
    for (int i = 0; i < kBins; ++i) {
        const float lift = height * hist01.at<float>(i);
        curve.emplace_back(area.left + (i * area.width) / 255,
                           area.bottom - static_cast<int>(lift));
    }
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

cv::Mat startImage(Cache& cache, const char* title, cv::Size size, const hist::PlotArea& area,
                   int rgbStrips, double fps) {
    if (size != cache.size) {
        cache.canvas = hist::createBaseCanvas(title, size, area, rgbStrips);
        cache.size = size;
    }
    cv::Mat image = cache.canvas.clone();
    cv::putText(image, hist::fpsText(fps), {266, 22}, cv::FONT_HERSHEY_SIMPLEX, 0.55,
                cv::Scalar(0, 255, 0, 0), 1, cv::LINE_AA, false);
    return image;
}

void drawMarker(cv::Mat& image, const hist::PlotArea& area, int level, const cv::Scalar& colour) {
    const int x = area.left + (level * area.width) / 255;
    cv::line(image, {x, area.top}, {x, area.bottom}, colour, 2, cv::LINE_AA, 0);
}

}  // namespace

cv::Mat renderGrayHistogram(const cv::Mat& gray, cv::Size size, double fps) {
    static Cache cache;
    const hist::PlotArea area = hist::grayPlotArea(size);
    cv::Mat image = startImage(cache, "Histogram - Gray", size, area, 0, fps);
    const cv::Mat counts = calcChannelHist(gray);
    cv::Mat hist01 = counts.clone();
    normalizeTo01(hist01);
    plot(image, area, hist01, cv::Scalar(220, 220, 220, 0));

    const hist::RangePoints points = hist::findRangePoints(counts);
    const cv::Scalar highColour(60, 220, 60, 0);
    drawMarker(image, area, points.low, cv::Scalar(40, 40, 230, 0));
    drawMarker(image, area, points.high, highColour);
    const std::string text = hist::dynamicRangeText(points.high - points.low);
    int baseline = 0;
    const cv::Size extent = cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, 0.5, 1, &baseline);
    cv::putText(image, text, {area.right - extent.width, 22}, cv::FONT_HERSHEY_SIMPLEX, 0.5,
                highColour, 1, cv::LINE_AA, false);
    return image;
}

cv::Mat renderRgbHistogram(const cv::Mat& bgr, cv::Size size, double fps) {
    static Cache cache;
    const std::array<cv::Scalar, 3> colours = {
        cv::Scalar(255, 90, 60, 0),
        cv::Scalar(70, 220, 90, 0),
        cv::Scalar(60, 90, 255, 0),
    };
    const hist::PlotArea area = hist::rgbPlotArea(size);
    cv::Mat image = startImage(cache, "Histogram - RGB", size, area, 1, fps);
    std::vector<cv::Mat> channels;
    cv::split(bgr, channels);
    for (std::size_t c = 0; c < colours.size(); ++c) {
        cv::Mat histogram = calcChannelHist(channels[c]);
        normalizeTo01(histogram);
        plot(image, area, histogram, colours[c]);
    }
    return image;
}

}  // namespace literal
