#pragma once

#include <optional>
#include <string>

#include <opencv2/core.hpp>

// A source the command line chose, beyond the prompt's two answers.
struct SourceRequest {
    enum class Kind { Camera, Monitor, Wallpaper };
    Kind kind = Kind::Camera;
    std::optional<int> camera;           // that device index only; none: the highest that works
    std::optional<cv::Size> size;        // the frame size asked of the camera
    std::optional<std::string> monitor;  // a number in the listed order, or a name
    std::optional<cv::Rect> region;      // in the monitor's own coordinates
};
