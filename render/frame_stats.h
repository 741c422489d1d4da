#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include <opencv2/core.hpp>

#include "hist/dynamic_range.h"

// The numbers of one frame's --stats row.
struct FrameNumbers {
    cv::Size size;
    hist::RangePoints range;  // of the gray histogram window, which counts the displayed gray
    int motionPixels;         // the white pixels of the motion view
};

// `gray` is the full gray frame, `prevGray` the previous frame's (empty for the first).
FrameNumbers measureFrame(const cv::Mat& gray, const cv::Mat& prevGray);

// The CSV rows of --stats: the header, then one row per frame.
class FrameStats {
  public:
    // `lineByLine` hands every row on as soon as it is complete (standard output, where another
    // program may be reading), never part of one.
    FrameStats(std::ostream& out, bool lineByLine);

    // The row of frame `number` of `input`; `seconds` is its time in a video.
    void addRow(int number, const std::string& input, const FrameNumbers& numbers,
                std::optional<double> seconds);

  private:
    void put(const std::string& line);

    std::ostream& out_;
    bool lineByLine_;
};
