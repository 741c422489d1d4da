#pragma once

#include <opencv2/core.hpp>

// A natural-looking BGR test frame made in code: a colour gradient, a textured panel, a few
// sharp-edged shapes, sensor-like noise and two shapes that move with `index`, so consecutive
// indices give consecutive frames of one scene. The same size and index always give the same
// pixels.
cv::Mat makeSyntheticFrame(cv::Size size, int index);
