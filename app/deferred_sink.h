#pragma once

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/image_sink.h"

// Holds what a stage shows while it runs off the main thread, so that the windows get the same
// images in the same order on the main thread afterwards. What the stage raises is kept too and
// raised again after the images shown before it.
class DeferredSink final : public ImageSink {
  public:
    void show(const std::string& title, const cv::Mat& image) override {
        shown_.emplace_back(title, image);
    }

    void run(const std::function<void(ImageSink&)>& stage) noexcept {
        try {
            stage(*this);
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    void replay(ImageSink& sink) const {
        for (const auto& [title, image] : shown_) {
            sink.show(title, image);
        }
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

  private:
    std::vector<std::pair<std::string, cv::Mat>> shown_;
    std::exception_ptr failure_;
};
