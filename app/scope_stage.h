#pragma once

#include <opencv2/core.hpp>

#include "app/image_sink.h"
#include "hist/scope_canvas.h"

// The three scope windows, each from the display copies like the histogram windows and of the
// displayed gray frame's size; the numbers they print come from the full-resolution frame.

// With the sharpness of the full gray frame.
void runWaveform(const cv::Mat& gray, const cv::Mat& shownGray, hist::CanvasCache& cache,
                 ImageSink& sink);
// With the shares of the full frame's pixels clipped at 0 and at 255.
void runParade(const cv::Mat& frame, const cv::Mat& shownFrame, cv::Size size,
               hist::CanvasCache& cache, ImageSink& sink);
void runVectorscope(const cv::Mat& shownFrame, cv::Size size, hist::CanvasCache& cache,
                    ImageSink& sink);
