#pragma once

#include <filesystem>
#include <map>
#include <string>

#include <opencv2/core.hpp>

#include "app/image_sink.h"

// Keeps the last image each window was given.
class WindowRecorder final : public ImageSink {
  public:
    void show(const std::string& title, const cv::Mat& image) override {
        image.copyTo(images_[title]);
    }
    const std::map<std::string, cv::Mat>& images() const { return images_; }

  private:
    std::map<std::string, cv::Mat> images_;
};

// Writes each recorded window image as PNG into `dir`, created if missing, under its window's
// file name, each file whole or not at all. Returns the file that could not be written, or an
// empty path.
std::filesystem::path writeWindowImages(const WindowRecorder& recorder,
                                        const std::filesystem::path& dir);
