#include "hist/scope_canvas.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <opencv2/imgproc.hpp>

#include "hist/canvas_style.h"

namespace hist {

namespace {

const cv::Scalar kGraticule(60, 60, 70, 0);
const cv::Scalar kNumbers(60, 220, 60, 0);
constexpr int kFont = cv::FONT_HERSHEY_SIMPLEX;

}  // namespace

cv::Mat startScope(CanvasCache& cache, std::string_view title, cv::Size size,
                   const std::function<void(cv::Mat&)>& draw) {
    if (size != cache.size) {
        cache.canvas = blankCanvas(size);
        draw(cache.canvas);
        drawTitle(cache.canvas, title);
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

}  // namespace hist
