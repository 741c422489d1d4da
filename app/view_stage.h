#pragma once

#include <opencv2/core.hpp>

#include "app/image_sink.h"

// Runs the analysis views on the full-resolution gray frame and shows their display copies.
// `prevGray` is the loop's previous gray frame; the motion view replaces it.
void runViewStage(const cv::Mat& gray, cv::Mat& prevGray, ImageSink& sink);
