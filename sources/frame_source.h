#pragma once

#include <string_view>

#include <opencv2/core.hpp>

// Where the frame loop gets its images from.
class FrameSource {
  public:
    virtual ~FrameSource() = default;
    // Puts the next frame, non-empty 8-bit BGR, into `out` and returns true; false when no
    // frame could be had. The caller passes the same image every time.
    virtual bool read(cv::Mat& out) = 0;
    // What it shows, as a snapshot's numbers name their input: camera, screen or wallpaper.
    virtual std::string_view kind() const = 0;
};
