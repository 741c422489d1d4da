#include "hist/window_canvas.h"

#include <cstdio>

#include <opencv2/imgproc.hpp>

#include "hist/base_canvas.h"
#include "hist/canvas_style.h"

namespace hist {

namespace {

const cv::Scalar kFpsColour(0, 255, 0, 0);

}  // namespace

PlotArea grayPlotArea(cv::Size size) {
    return {kLabelRoom,       kTitleRoom,      size.width - 16,
            size.height - 46, size.width - 62, size.height - 80};
}

PlotArea rgbPlotArea(cv::Size size) {
    return {kLabelRoom,       kTitleRoom,      size.width - 16,
            size.height - 68, size.width - 62, size.height - 102};
}

std::string fpsText(double fps) {
    char text[32];
    std::snprintf(text, sizeof text, "FPS: %.1f", fps);
    return text;
}

cv::Mat startWindowImage(CanvasCache& cache, std::string_view title, cv::Size size,
                         const PlotArea& area, int rgbStrips, double fps) {
    if (size != cache.size) {
        cache.canvas = createBaseCanvas(title, size, area, rgbStrips);
        cache.size = size;
    }
    cv::Mat image = cache.canvas.clone();
    cv::putText(image, fpsText(fps), {266, 22}, cv::FONT_HERSHEY_SIMPLEX, 0.55, kFpsColour, 1,
                cv::LINE_AA, false);
    return image;
}

}  // namespace hist
