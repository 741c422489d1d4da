#pragma once

#include <opencv2/core.hpp>

#include "app/image_sink.h"

// The two histogram windows, built from the frames as they are displayed. Both take the size of
// the displayed gray frame; each image is released as soon as it has been shown.
void runRgbHistogram(const cv::Mat& shownFrame, cv::Size size, double fps, ImageSink& sink);
void runGrayHistogram(const cv::Mat& shownGray, double fps, ImageSink& sink);
