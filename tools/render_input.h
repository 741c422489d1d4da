#pragma once

#include <string>
#include <string_view>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

// One INPUT of velmora-render: an image file, a video file, or an image sequence given as a
// printf-style pattern; the last two are read with the image library's video reader.
class RenderInput {
  public:
    explicit RenderInput(std::string name) : name_(std::move(name)) {}
    RenderInput(const RenderInput&) = delete;
    RenderInput& operator=(const RenderInput&) = delete;

    // Opens the input and reads its first frame: empty when there is one, else the reason as
    // error lines name it.
    std::string_view open();

    // The next frame; false at the end, where a video breaks off, or with refusal() set when an
    // image file no longer reads as it did when opened.
    bool read(cv::Mat& frame);

    std::string_view refusal() const { return refusal_; }
    const std::string& name() const { return name_; }

    // The number of frames the input declares; 0 where it declares none.
    int declaredFrames() const;

  private:
    std::string_view openVideo(int api);

    std::string name_;
    bool isImage_ = false;
    bool imageDone_ = false;
    cv::VideoCapture video_;
    cv::Mat pending_;  // the first frame, read when the input was opened
    std::string_view refusal_;
};
