#pragma once

#include <opencv2/core.hpp>

#include "app/image_sink.h"

// The images that outlive one frame. The loop reuses their buffers while the size stays.
struct FrameImages {
    cv::Mat frame;
    cv::Mat gray;
    cv::Mat prevGray;
};

// Everything one frame goes through after it was read: the gray copy, the view stage, the two
// frame windows and the histogram stage. Every image made here is released on return.
void processFrame(FrameImages& images, double fps, ImageSink& sink);
