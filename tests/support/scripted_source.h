#pragma once

#include <functional>
#include <vector>

#include "sources/frame_source.h"

// Hands out the given frames in order, then fails. `beforeRead` runs before every read with the
// caller's image, so tests can inspect what the loop still holds at that moment.
class ScriptedSource final : public FrameSource {
  public:
    explicit ScriptedSource(std::vector<cv::Mat> frames) : frames_(std::move(frames)) {}

    bool read(cv::Mat& out) override {
        if (beforeRead) {
            beforeRead(out);
        }
        ++reads;
        if (next_ >= frames_.size()) {
            return false;
        }
        frames_[next_++].copyTo(out);
        return true;
    }

    std::string_view kind() const override { return "camera"; }

    std::function<void(const cv::Mat&)> beforeRead;
    int reads = 0;

  private:
    std::vector<cv::Mat> frames_;
    std::size_t next_ = 0;
};
