#pragma once

#include <opencv2/core.hpp>

#include "analysis/spectrum_view.h"
#include "app/image_sink.h"

// Runs the analysis views on the full-resolution gray frame and shows their display copies.
// `spectrum` has transformed `gray` already. `prevGray` is the loop's previous gray frame; the
// motion view replaces it.
void runViewStage(SpectrumWorkspace& spectrum, const cv::Mat& gray, cv::Mat& prevGray,
                  ImageSink& sink);
