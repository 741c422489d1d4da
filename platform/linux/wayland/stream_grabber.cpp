#include "platform/linux/wayland/stream_grabber.h"

#include <cstdio>

#include <opencv2/core.hpp>

namespace platform {
namespace {

using namespace std::chrono_literals;

bool readable(const StreamFrame& frame) {
    if (frame.data == nullptr || frame.width <= 0 || frame.height <= 0) {
        return false;
    }
    const std::size_t row = static_cast<std::size_t>(frame.width) * 4;
    return frame.stride >= row &&
           frame.stride * static_cast<std::size_t>(frame.height - 1) + row <= frame.bytes;
}

class StreamGrabber final : public ScreenGrabber {
  public:
    explicit StreamGrabber(std::unique_ptr<VideoStream> stream) : stream_(std::move(stream)) {}

    // The newest frame that came replaces the pixels, and every frame goes back to the stream.
    // One that cannot be read is passed over and the last pixels stay.
    bool takeNewest() {
        StreamFrame newest;
        bool came = false;
        for (StreamFrame frame; stream_->take(frame); came = true) {
            if (came) {
                stream_->giveBack(newest);
            }
            newest = frame;
        }
        if (!came) {
            return false;
        }
        const bool converted = convertToBgrx(newest, pixels_);
        stream_->giveBack(newest);
        if (converted) {
            width_ = newest.width;
            height_ = newest.height;
        }
        return converted;
    }

    VideoStream& stream() { return *stream_; }

    bool grab() override {
        if (!stream_->serve(0ms)) {
            return false;
        }
        takeNewest();
        return true;
    }
    const unsigned char* rows() const override { return pixels_.data(); }
    std::size_t rowStride() const override { return static_cast<std::size_t>(width_) * 4; }
    std::int32_t width() const override { return width_; }
    std::int32_t height() const override { return height_; }

  private:
    std::unique_ptr<VideoStream> stream_;
    std::vector<unsigned char> pixels_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

std::string seconds(std::chrono::milliseconds wait) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(wait.count()) / 1000.0);
    return text;
}

}  // namespace

bool convertToBgrx(const StreamFrame& frame, std::vector<unsigned char>& out) {
    if (!readable(frame)) {
        return false;
    }
    out.resize(static_cast<std::size_t>(frame.width) * 4 * static_cast<std::size_t>(frame.height));
    const cv::Mat from(frame.height, frame.width, CV_8UC4, const_cast<unsigned char*>(frame.data),
                       frame.stride);
    cv::Mat to(frame.height, frame.width, CV_8UC4, out.data());
    if (frame.colours == ColourBytes{}) {
        from.copyTo(to);  // already in order: whole rows at a time
        return true;
    }
    const int pairs[] = {frame.colours.blue, 0, frame.colours.green, 1, frame.colours.red, 2};
    cv::mixChannels(&from, 1, &to, 1, pairs, 3);
    return true;
}

GrabberResult openStreamGrabber(std::unique_ptr<VideoStream> stream,
                                std::chrono::milliseconds firstFrameWait) {
    auto grabber = std::make_unique<StreamGrabber>(std::move(stream));
    const auto deadline = std::chrono::steady_clock::now() + firstFrameWait;
    while (!grabber->takeNewest()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            return {nullptr, GrabberFailure::NoFirstFrame,
                    "none within " + seconds(firstFrameWait)};
        }
        if (!grabber->stream().serve(left)) {
            return {nullptr, GrabberFailure::NoStream,
                    "it ended before its first frame: " + grabber->stream().endReason()};
        }
    }
    return {std::move(grabber), GrabberFailure::NoFailure, {}};
}

}  // namespace platform
