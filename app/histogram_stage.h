#pragma once

#include <opencv2/core.hpp>

#include "app/image_sink.h"

// Builds and shows the two histogram windows from the frames as they are displayed.
void runHistogramStage(const cv::Mat& shownFrame, const cv::Mat& shownGray, double fps,
                       ImageSink& sink);
