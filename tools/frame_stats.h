#pragma once

#include <iosfwd>
#include <string>

#include <opencv2/core.hpp>

#include "tools/window_images.h"

// The CSV rows of --stats: one per frame, the numbers behind its windows.
class FrameStats {
  public:
    explicit FrameStats(std::ostream& out);

    // The row of frame `number` of `input`, after the frame went through the per-frame work:
    // `gray` is its full gray frame, `windows` what its windows were shown.
    void addRow(int number, const std::string& input, const cv::Mat& gray,
                const WindowRecorder& windows);

  private:
    std::ostream& out_;
    // The motion view's own previous frame: it follows the same frames as the loop's.
    cv::Mat prevGray_;
};
