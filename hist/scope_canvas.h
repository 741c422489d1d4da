#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <opencv2/core.hpp>

#include "hist/window_canvas.h"

namespace hist {

// A plot's rectangle: columns left to right - 1, rows top to bottom - 1.
struct ScopePlot {
    int left;
    int top;
    int right;
    int bottom;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return width() < 1 || height() < 1; }
};

// Each scope's cache; a loop keeps one set for the run.
struct ScopeCaches {
    CanvasCache waveform;
    CanvasCache parade;
    CanvasCache vectorscope;
};

// The canvas of `size` drawn by `draw` on the scopes' background with `title`, kept in `cache`
// while the size stays; a copy of it to draw one frame on.
cv::Mat startScope(CanvasCache& cache, std::string_view title, cv::Size size,
                   const std::function<void(cv::Mat&)>& draw);

// The numbers of a frame at the top right, ending at `right`.
void printNumbers(cv::Mat& image, const std::string& text, int right);

// The graticule's colour.
const cv::Scalar& graticuleColour();

// How bright a point of `count` pixels is drawn among `total` pixels: 0 for none, 255 for all,
// on a logarithmic scale so that a few pixels still show.
uchar brightness(std::int64_t count, std::int64_t total);

}  // namespace hist
