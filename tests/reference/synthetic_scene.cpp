#include "tests/reference/synthetic_scene.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace {

void paintGradient(cv::Mat& frame) {
    const double w = std::max(frame.cols - 1, 1);
    const double h = std::max(frame.rows - 1, 1);
    for (int y = 0; y < frame.rows; ++y) {
        auto* row = frame.ptr<cv::Vec3b>(y);
        for (int x = 0; x < frame.cols; ++x) {
            const double u = x / w;
            const double v = y / h;
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(40 + 150 * v),
                               cv::saturate_cast<uchar>(60 + 120 * u * v),
                               cv::saturate_cast<uchar>(200 - 140 * u));
        }
    }
}

// Fine stripes of two frequencies, like fabric or foliage.
void paintTexture(cv::Mat& frame, cv::Rect panel) {
    panel &= cv::Rect(0, 0, frame.cols, frame.rows);
    for (int y = panel.y; y < panel.br().y; ++y) {
        auto* row = frame.ptr<cv::Vec3b>(y);
        for (int x = panel.x; x < panel.br().x; ++x) {
            const double t = 0.5 + 0.25 * std::sin(x * 0.9 + y * 0.3) + 0.25 * std::sin(y * 0.17);
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(30 + 90 * t),
                               cv::saturate_cast<uchar>(70 + 140 * t),
                               cv::saturate_cast<uchar>(50 + 60 * t));
        }
    }
}

}  // namespace

cv::Mat makeSyntheticFrame(cv::Size size, int index) {
    cv::Mat frame(size, CV_8UC3);
    paintGradient(frame);
    const int w = size.width;
    const int h = size.height;
    paintTexture(frame, cv::Rect(w / 16, h / 2, w / 3, h / 3));
    cv::rectangle(frame, cv::Rect(w / 2, h / 8, w / 5, h / 4), cv::Scalar(30, 30, 35), cv::FILLED);
    cv::rectangle(frame, cv::Rect(w / 2 + w / 40, h / 8 + h / 30, w / 8, h / 10),
                  cv::Scalar(240, 245, 250), cv::FILLED);
    cv::line(frame, {0, h - h / 5}, {w - 1, h - h / 3}, cv::Scalar(20, 120, 230),
             std::max(w / 200, 1), cv::LINE_AA);

    // Two shapes moving across the scene from frame to frame.
    const int step = std::max(w / 120, 1);
    const cv::Point ball((w / 10 + index * step) % std::max(w, 1), h / 3);
    cv::circle(frame, ball, std::max(h / 12, 1), cv::Scalar(40, 200, 250), cv::FILLED, cv::LINE_AA);
    const cv::Point box(w - w / 6 - (index * step) % std::max(w / 2, 1), h - h / 4);
    cv::rectangle(frame, cv::Rect(box, cv::Size(w / 14 + 1, h / 9 + 1)), cv::Scalar(200, 60, 90),
                  cv::FILLED);

    cv::Mat noise(size, CV_16SC3);
    cv::RNG rng(0x5eed + static_cast<std::uint64_t>(index));
    rng.fill(noise, cv::RNG::NORMAL, 0, 6);
    cv::Mat noisy;
    cv::add(frame, noise, noisy, cv::noArray(), CV_8UC3);
    return noisy;
}
