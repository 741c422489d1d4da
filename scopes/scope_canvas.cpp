#include "scopes/scope_canvas.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <opencv2/imgproc.hpp>

namespace scopes {

namespace {

// The histogram windows' colours and font.
const cv::Scalar kBackground(18, 18, 22, 0);
const cv::Scalar kGraticule(60, 60, 70, 0);
const cv::Scalar kLabel(150, 150, 160, 0);
const cv::Scalar kTitle(235, 235, 240, 0);
const cv::Scalar kNumbers(60, 220, 60, 0);
constexpr int kFont = cv::FONT_HERSHEY_SIMPLEX;

}  // namespace

cv::Mat startScope(CanvasCache& cache, std::string_view title, cv::Size size,
                   const std::function<void(cv::Mat&)>& draw) {
    if (size != cache.size) {
        cache.canvas = cv::Mat(size, CV_8UC3, kBackground);
        draw(cache.canvas);
        cv::putText(cache.canvas, std::string(title), {kLabelRoom, 22}, kFont, 0.6, kTitle, 1,
                    cv::LINE_AA, false);
        cache.size = size;
    }
    return cache.canvas.clone();
}

void printNumbers(cv::Mat& image, const std::string& text, int right) {
    int baseline = 0;
    const cv::Size extent = cv::getTextSize(text, kFont, 0.5, 1, &baseline);
    cv::putText(image, text, {right - extent.width, 22}, kFont, 0.5, kNumbers, 1, cv::LINE_AA,
                false);
}

void drawLabel(cv::Mat& image, const std::string& text, cv::Point origin) {
    cv::putText(image, text, origin, kFont, 0.42, kLabel, 1, cv::LINE_AA, false);
}

const cv::Scalar& graticuleColour() {
    return kGraticule;
}

uchar brightness(std::int64_t count, std::int64_t total) {
    if (count <= 0 || total <= 0) {
        return 0;
    }
    const double scaled = 255.0 * std::log1p(double(count)) / std::log1p(double(total));
    // A single pixel still shows; all of them are full white.
    return static_cast<uchar>(std::clamp(std::lround(scaled), 40L, 255L));
}

}  // namespace scopes
