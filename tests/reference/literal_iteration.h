#pragma once

#include "app/frame_work.h"
#include "app/image_sink.h"

namespace literal {

// One frame of the live loop the plain way, window for window like the product's
// processFrame: gray conversion, the three views on the full frame, the five display copies
// and the two histogram windows.
void processFrame(FrameImages& images, double fps, ImageSink& sink);

// The views on their own, each allocating its working images anew.
cv::Mat makeLaplacianView(const cv::Mat& gray);
cv::Mat makeMotionView(const cv::Mat& gray, cv::Mat& prevGray);

}  // namespace literal
