#include "hist/rgb_histogram.h"

#include <array>

#include "hist/channel_hist.h"
#include "hist/check.h"
#include "hist/plot.h"
#include "hist/window_canvas.h"

namespace {

// Split channels 0, 1 and 2: blue, green, red.
const std::array<cv::Scalar, 3> kCurveColours = {
    cv::Scalar(255, 90, 60, 0),
    cv::Scalar(70, 220, 90, 0),
    cv::Scalar(60, 90, 255, 0),
};

// Lives until the process ends; only the main thread draws.
hist::CanvasCache& canvasCache() {
    static hist::CanvasCache cache;
    return cache;
}

}  // namespace

cv::Mat renderRgbHistogram(const cv::Mat& bgr, cv::Size size, double fps) {
    // Checked first: a frame with fewer channels would leave curves without a channel.
    HIST_CHECK(bgr.channels() == 3, "renderRgbHistogram");
    const hist::PlotArea area = hist::rgbPlotArea(size);
    cv::Mat image = hist::startWindowImage(canvasCache(), "Histogram - RGB", size, area, 1, fps);

    std::array<cv::Mat, 3> histograms = hist::calcChannelHists(bgr);
    for (std::size_t c = 0; c < kCurveColours.size(); ++c) {
        cv::Mat& histogram = histograms[c];
        hist::normalizeTo01(histogram);
        hist::plot(image, area, histogram, kCurveColours[c]);
    }
    return image;
}
