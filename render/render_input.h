#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "render/image_sequence.h"

// One INPUT of velmora-render: an image file, an image sequence given as a printf-style pattern
// (each member read as an image file is), or a video file, read with the image library's video
// reader. Every frame comes out as 8-bit BGR, as image files decode.
class RenderInput {
  public:
    explicit RenderInput(std::string name) : name_(std::move(name)) {}
    RenderInput(const RenderInput&) = delete;
    RenderInput& operator=(const RenderInput&) = delete;

    // Opens the input and reads its first frame: empty when there is one, else the reason as
    // error lines name it.
    std::string_view open();

    // The next frame, with its presentation time in seconds from the start of a video (none for
    // images); false at the end, where a video breaks off, or with refusal() set when a file no
    // longer reads as it did when opened.
    bool read(cv::Mat& frame, std::optional<double>& seconds);

    std::string_view refusal() const { return refusal_; }
    // The file refusal() is about: the input, or the member of a sequence.
    const std::string& refusedFile() const { return refusedFile_; }
    const std::string& name() const { return name_; }

    // The number of frames the input declares; 0 where it declares none.
    int declaredFrames() const;

    // The files the input reads: itself, or every member of a sequence.
    std::vector<std::filesystem::path> files() const;

  private:
    enum class Kind { Image, Sequence, Video };

    std::string_view openVideo();
    bool readImage(const std::filesystem::path& path, cv::Mat& frame);
    std::optional<double> videoTime();

    std::string name_;
    Kind kind_ = Kind::Video;
    std::vector<std::filesystem::path> members_;  // a sequence's files
    std::size_t next_ = 0;                        // the next image or member to read
    cv::VideoCapture video_;
    cv::Mat pending_;  // a video's or sequence's first frame, read when the input was opened
    std::optional<double> pendingTime_;
    std::optional<double> lastTime_;
    std::string_view refusal_;
    std::string refusedFile_;
};

// A frame of any depth and channel count as an image file of it decodes to 8-bit BGR: 16-bit
// levels keep their high byte, gray is repeated into the three channels, alpha is dropped.
cv::Mat asBgr8(const cv::Mat& frame);
