#include "hist/vectorscope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "hist/canvas_style.h"

namespace hist {

namespace {

constexpr int kRoom = 16;

// The chroma of a BGR colour: Cb, Cr.
cv::Point chromaOf(const cv::Scalar& bgr) {
    const cv::Mat colour(1, 1, CV_8UC3, bgr);
    cv::Mat ycrcb;
    cv::cvtColor(colour, ycrcb, cv::COLOR_BGR2YCrCb);
    const cv::Vec3b value = ycrcb.at<cv::Vec3b>(0, 0);
    return {value[2], value[1]};
}

void drawGraticule(cv::Mat& canvas, const ScopePlot& plot) {
    const cv::Point centre = chromaPoint(plot, 128, 128);
    const int radius = centre.x - chromaPoint(plot, 0, 128).x;
    const cv::Scalar& colour = graticuleColour();
    cv::circle(canvas, centre, radius, colour, 1, cv::LINE_AA);
    cv::line(canvas, {plot.left, centre.y}, {plot.right - 1, centre.y}, colour, 1, cv::LINE_8);
    cv::line(canvas, {centre.x, plot.top}, {centre.x, plot.bottom - 1}, colour, 1, cv::LINE_8);
    // 75 % of full strength, as colour bars give it.
    const struct {
        const char* name;
        cv::Scalar bgr;
    } targets[] = {{"R", {0, 0, 191}},   {"G", {0, 191, 0}},   {"B", {191, 0, 0}},
                   {"Y", {0, 191, 191}}, {"C", {191, 191, 0}}, {"M", {191, 0, 191}}};
    for (const auto& target : targets) {
        const cv::Point chroma = chromaOf(target.bgr);
        const cv::Point at = chromaPoint(plot, chroma.x, chroma.y);
        cv::rectangle(canvas, at - cv::Point(4, 4), at + cv::Point(4, 4), colour, 1, cv::LINE_8);
        drawLabel(canvas, target.name, at + cv::Point(6, -6));
    }
    // The skin-tone line: from the centre through the chroma of skin, whatever its lightness.
    const cv::Point skin = chromaOf({120, 160, 225});
    const double angle = std::atan2(double(skin.y - 128), double(skin.x - 128));
    const cv::Point end(centre.x + int(std::lround(radius * std::cos(angle))),
                        centre.y - int(std::lround(radius * std::sin(angle))));
    cv::line(canvas, centre, end, colour, 1, cv::LINE_AA);
}

}  // namespace

ScopePlot vectorscopePlot(cv::Size size) {
    const int width = size.width - 2 * kRoom;
    const int height = size.height - kTitleRoom - kRoom;
    const int side = std::max(0, std::min(width, height));
    const int left = kRoom + (width - side) / 2;
    const int top = kTitleRoom + (height - side) / 2;
    return {left, top, left + side, top + side};
}

cv::Point chromaPoint(const ScopePlot& plot, int cb, int cr) {
    const int radius = (plot.width() - 1) / 2;
    const cv::Point centre(plot.left + radius, plot.top + radius);
    return {centre.x + (cb - 128) * radius / 128, centre.y - (cr - 128) * radius / 128};
}

cv::Mat renderVectorscope(const cv::Mat& shownFrame, cv::Size size, CanvasCache& cache) {
    const ScopePlot plot = vectorscopePlot(size);
    cv::Mat image = startScope(cache, "Vectorscope", size, [&](cv::Mat& canvas) {
        if (plot.width() > 2) {
            drawGraticule(canvas, plot);
        }
    });
    if (plot.width() <= 2 || shownFrame.empty()) {
        return image;
    }
    cv::Mat ycrcb;
    cv::cvtColor(shownFrame, ycrcb, cv::COLOR_BGR2YCrCb);
    std::vector<std::int64_t> counts(256 * 256, 0);
    for (int y = 0; y < ycrcb.rows; ++y) {
        const uchar* pixel = ycrcb.ptr<uchar>(y);
        for (int x = 0; x < ycrcb.cols; ++x, pixel += 3) {
            ++counts[static_cast<std::size_t>(pixel[1]) * 256 + pixel[2]];
        }
    }
    // Chromas that fall on one point of a small plot add up there.
    const cv::Rect area(plot.left, plot.top, plot.width(), plot.height());
    cv::Mat points = cv::Mat::zeros(area.size(), CV_64FC1);
    for (int cr = 0; cr < 256; ++cr) {
        for (int cb = 0; cb < 256; ++cb) {
            if (const std::int64_t count = counts[static_cast<std::size_t>(cr) * 256 + cb]) {
                points.at<double>(chromaPoint(plot, cb, cr) - area.tl()) += double(count);
            }
        }
    }
    const std::int64_t total = std::int64_t(ycrcb.total());
    for (int y = 0; y < points.rows; ++y) {
        for (int x = 0; x < points.cols; ++x) {
            if (const double count = points.at<double>(y, x); count > 0) {
                image.at<cv::Vec3b>(area.y + y, area.x + x) =
                    cv::Vec3b::all(brightness(std::int64_t(count), total));
            }
        }
    }
    return image;
}

}  // namespace hist
