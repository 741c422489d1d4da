#include "hist/canvas_style.h"

#include <string>

#include <opencv2/imgproc.hpp>

namespace hist {

namespace {

const cv::Scalar kBackground(18, 18, 22, 0);
const cv::Scalar kLabel(150, 150, 160, 0);
const cv::Scalar kTitle(235, 235, 240, 0);
constexpr int kFont = cv::FONT_HERSHEY_SIMPLEX;

}  // namespace

cv::Mat blankCanvas(cv::Size size) {
    return cv::Mat(size, CV_8UC3, kBackground);
}

void drawTitle(cv::Mat& canvas, std::string_view title) {
    cv::putText(canvas, std::string(title), {kLabelRoom, 22}, kFont, 0.6, kTitle, 1, cv::LINE_AA,
                false);
}

void drawLabel(cv::Mat& canvas, std::string_view text, cv::Point origin) {
    cv::putText(canvas, std::string(text), origin, kFont, 0.42, kLabel, 1, cv::LINE_AA, false);
}

}  // namespace hist
