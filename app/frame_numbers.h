#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <opencv2/core.hpp>

#include "analysis/frame_measures.h"
#include "hist/dynamic_range.h"

// The numbers behind one frame's windows, as velmora-render --stats and a snapshot write them.
struct FrameNumbers {
    cv::Size size;
    hist::RangePoints range;  // of the gray histogram window, which counts the displayed gray
    int motionPixels;         // the white pixels of the motion view
    double sharpness;         // the variance of the full gray frame's Laplacian
    ClippedPixels clipped;    // of the full frame
};

// `frame` and `gray` at full resolution, `prevGray` the previous frame's (empty for the first).
FrameNumbers measureFrame(const cv::Mat& frame, const cv::Mat& gray, const cv::Mat& prevGray);

// The numbers of a frame whose windows were shown: `frame` and `gray` at full resolution,
// `shownGray` the gray frame as displayed, `motion` the full motion mask.
FrameNumbers numbersOfShown(const cv::Mat& frame, const cv::Mat& gray, const cv::Mat& shownGray,
                            const cv::Mat& motion);

// The CSV header, and one frame's row: frame `number` of `input`, `seconds` its time in a video.
extern const std::string_view kNumbersHeader;
std::string numbersRow(int number, const std::string& input, const FrameNumbers& numbers,
                       std::optional<double> seconds);
