#pragma once

#include <benchmark/benchmark.h>

#include "app/image_sink.h"

// Takes the images of a frame and drops them, so that only the work that makes them is timed.
class NullSink final : public ImageSink {
  public:
    void show(const std::string&, const cv::Mat& image) override {
        benchmark::DoNotOptimize(image.data);
    }
};
