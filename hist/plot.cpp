#include "hist/plot.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <opencv2/imgproc.hpp>

#include "hist/channel_hist.h"
#include "hist/check.h"

namespace hist {

namespace {

constexpr double kTint = 0.22;

using TintTable = std::array<std::array<uchar, 256>, 3>;

// Every level of each channel blended 22 % towards `colour` as the image library blends two
// images. Its result depends on the two levels alone, wherever the pixel lies, so the table
// gives the same pixels as blending a filled copy of the canvas over the canvas.
TintTable makeTintTable(const cv::Scalar& colour) {
    cv::Mat levels(1, 256, CV_8UC3);
    for (int v = 0; v < 256; ++v) {
        levels.at<cv::Vec3b>(v) = cv::Vec3b::all(static_cast<uchar>(v));
    }
    const cv::Mat filled(1, 256, CV_8UC3, colour);
    cv::Mat blended;
    cv::addWeighted(filled, kTint, levels, 1.0 - kTint, 0.0, blended);
    TintTable table{};
    for (int v = 0; v < 256; ++v) {
        for (int c = 0; c < 3; ++c) {
            table[c][v] = blended.at<cv::Vec3b>(v)[c];
        }
    }
    return table;
}

const uchar* findByte(const uchar* from, const uchar* end, uchar value) {
    const void* found = std::memchr(from, value, static_cast<std::size_t>(end - from));
    return found != nullptr ? static_cast<const uchar*>(found) : end;
}

// The smallest rectangle that holds every point, as the image library's boundingRect gives it
// (which OpenCV 5 moved out of imgproc into a module of its own).
cv::Rect boxAround(const std::vector<cv::Point>& points) {
    if (points.empty()) {
        return {};
    }
    cv::Point low = points.front(), high = points.front();
    for (const cv::Point& point : points) {
        low = {std::min(low.x, point.x), std::min(low.y, point.y)};
        high = {std::max(high.x, point.x), std::max(high.y, point.y)};
    }
    return {low, high + cv::Point(1, 1)};
}

// Tints the pixels the filled polygon covers 22 % towards `colour`. A pixel blended with itself
// would stay as it is, so only the runs of covered pixels in each row are touched.
void tintPolygon(cv::Mat& canvas, const std::vector<cv::Point>& polygon, const cv::Scalar& colour) {
    const cv::Rect whole(0, 0, canvas.cols, canvas.rows);
    cv::Rect box = boxAround(polygon);
    if ((box & whole) != box) {
        // A polygon clipped at the border is filled in canvas coordinates, as it always was.
        box = whole;
    }
    cv::Mat covered = cv::Mat::zeros(box.size(), CV_8UC1);
    const std::vector<std::vector<cv::Point>> polygons{polygon};
    cv::fillPoly(covered, polygons, cv::Scalar(255), cv::LINE_8, 0, -box.tl());
    const TintTable table = makeTintTable(colour);
    for (int y = 0; y < box.height; ++y) {
        const uchar* row = covered.ptr<uchar>(y);
        const uchar* end = row + box.width;
        uchar* pixels = canvas.ptr<uchar>(box.y + y) + 3 * box.x;
        for (const uchar* run = findByte(row, end, 255); run != end;) {
            const uchar* stop = findByte(run, end, 0);
            for (uchar* pixel = pixels + 3 * (run - row); run != stop; ++run, pixel += 3) {
                pixel[0] = table[0][pixel[0]];
                pixel[1] = table[1][pixel[1]];
                pixel[2] = table[2][pixel[2]];
            }
            run = findByte(stop, end, 255);
        }
    }
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
