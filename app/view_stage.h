#pragma once

#include <opencv2/core.hpp>

#include "analysis/spectrum_view.h"
#include "app/image_sink.h"

// The analysis views of the full-resolution gray frame, each shown as its display copy. They are
// independent of each other, so they can run side by side.

// `spectrum` has transformed the gray frame already.
void runSpectrumView(SpectrumWorkspace& spectrum, ImageSink& sink);
void runEdgeView(const cv::Mat& gray, ImageSink& sink);
// `prevGray` is the loop's previous gray frame; the motion view replaces it. `mask` receives the
// full-resolution mask.
void runMotionView(const cv::Mat& gray, cv::Mat& prevGray, cv::Mat& mask, ImageSink& sink);
