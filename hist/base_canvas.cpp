#include "hist/base_canvas.h"

#include <cstdio>
#include <functional>
#include <string>

#include <opencv2/imgproc.hpp>

#include "hist/canvas_style.h"
#include "hist/gradient_strip.h"

namespace hist {

namespace {

const cv::Scalar kGrid(50, 50, 58, 0);
const cv::Scalar kFrame(90, 90, 100, 0);
constexpr int kDivisions = 8;

using ColourOf = std::function<cv::Vec3b(int)>;

uchar asByte(int v) {
    return static_cast<uchar>(v);
}

void drawHorizontalGrid(cv::Mat& canvas, const PlotArea& area) {
    for (int i = 0; i <= kDivisions; ++i) {
        const int y = area.bottom - (i * area.height) / kDivisions;
        cv::line(canvas, {area.left, y}, {area.right, y}, kGrid, 1, cv::LINE_AA, 0);
        char text[12];
        std::snprintf(text, sizeof text, "%.1f%%", i * 100.0 * 0.125);
        drawLabel(canvas, text, {2, y + 4});
    }
}

void drawVerticalGrid(cv::Mat& canvas, const PlotArea& area) {
    for (int i = 0; i <= kDivisions; ++i) {
        const int x = area.left + (i * area.width) / kDivisions;
        cv::line(canvas, {x, area.top}, {x, area.bottom}, kGrid, 1, cv::LINE_AA, 0);
        char text[8];
        std::snprintf(text, sizeof text, "%d", i < kDivisions ? 32 * i : 255);
        drawLabel(canvas, text, {x - 12, area.bottom + 19});
    }
}

// Copies the part of the strip that lies inside the canvas; a strip wholly outside it, or of a
// plot narrower than one column, is skipped, so tiny windows still get an image of their size.
void placeStrip(cv::Mat& canvas, const PlotArea& area, int y, int rows, const ColourOf& ramp) {
    const cv::Rect placed(area.left, y, area.width, rows);
    const cv::Rect visible = placed & cv::Rect(0, 0, canvas.cols, canvas.rows);
    if (area.width < 1 || visible.empty()) {
        return;
    }
    const cv::Mat strip = makeGradientStrip(area.width, rows, ramp);
    const cv::Rect part(visible.tl() - placed.tl(), visible.size());
    strip(part).copyTo(canvas(visible));
}

void drawStrips(cv::Mat& canvas, const PlotArea& area, int rgbStrips) {
    const ColourOf grayRamp = [](int v) { return cv::Vec3b(asByte(v), asByte(v), asByte(v)); };
    const ColourOf redRamp = [](int v) { return cv::Vec3b(0, 0, asByte(v)); };
    const ColourOf greenRamp = [](int v) { return cv::Vec3b(0, asByte(v), 0); };
    const ColourOf blueRamp = [](int v) { return cv::Vec3b(asByte(v), 0, 0); };
    const int y0 = area.bottom + 28;
    if (rgbStrips == 0) {
        placeStrip(canvas, area, y0, 14, grayRamp);
        return;
    }
    placeStrip(canvas, area, y0, 10, redRamp);
    placeStrip(canvas, area, y0 + 13, 10, greenRamp);
    placeStrip(canvas, area, y0 + 26, 10, blueRamp);
}

}  // namespace

cv::Mat createBaseCanvas(std::string_view title, cv::Size size, const PlotArea& area,
                         int rgbStrips) {
    cv::Mat canvas = blankCanvas(size);
    drawHorizontalGrid(canvas, area);
    drawVerticalGrid(canvas, area);
    cv::rectangle(canvas, {area.left, area.top}, {area.right, area.bottom}, kFrame, 1, cv::LINE_AA,
                  0);
    drawTitle(canvas, title);
    drawStrips(canvas, area, rgbStrips);
    return canvas;
}

}  // namespace hist
