#pragma once

#include <opencv2/core.hpp>

// The smallest and largest log magnitude of the part of the spectrum that the picture shows.
struct LogRange {
    float low = 0.0f;
    float high = 0.0f;
};

// ln(1 + |F|) of every value of a half spectrum (`padded` rows of padded.width / 2 + 1 complex
// values) into `logHalf`, and the range over the values that the even crop of the full
// spectrum keeps. `logHalf` is reused when it already has the right size.
LogRange logMagnitude(const cv::Mat& half, cv::Size padded, cv::Mat& logHalf);

// The 8-bit picture of the full spectrum, cropped to even sizes, its quadrants swapped so that
// the zero frequency lies at the centre and stretched from `range` to 0..255, written row by row
// from the half spectrum: values right of the middle column are read from the mirrored
// position.
cv::Mat centredPicture(const cv::Mat& logHalf, cv::Size padded, LogRange range);
