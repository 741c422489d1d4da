#pragma once

#include <opencv2/core.hpp>

#include "analysis/spectrum_view.h"
#include "app/image_sink.h"
#include "hist/scope_canvas.h"

// What outlives one frame: the loop's images, whose buffers it reuses while the size stays, and
// the spectrum's workspace. `motion` is the frame's full motion mask, which the loop keeps for
// the frame's numbers until its keys are handled.
struct FrameImages {
    cv::Mat frame;
    cv::Mat gray;
    cv::Mat prevGray;
    cv::Mat motion;
    SpectrumWorkspace spectrum;
    hist::ScopeCaches scopes;
};

// Everything one frame goes through after it was read: the gray copy, the view stage, the two
// frame windows and the histogram stage, then with `scopes` the three scope windows. Every image
// made here but the motion mask is released on return.
void processFrame(FrameImages& images, double fps, ImageSink& sink, bool scopes = false);
