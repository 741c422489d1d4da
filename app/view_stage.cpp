#include "app/view_stage.h"

#include "analysis/laplacian_view.h"
#include "analysis/motion_view.h"
#include "app/display.h"
#include "app/window_titles.h"

// Each copy is judged by its own size: the spectrum can be larger than the frame.

void runSpectrumView(SpectrumWorkspace& spectrum, ImageSink& sink) {
    sink.show(kSpectrumWindow, downscaleForDisplay(spectrum.picture()));
}

void runEdgeView(const cv::Mat& gray, ImageSink& sink) {
    sink.show(kEdgeWindow, downscaleForDisplay(makeLaplacianView(gray)));
}

void runMotionView(const cv::Mat& gray, cv::Mat& prevGray, cv::Mat& mask, ImageSink& sink) {
    // Runs once per frame, so `prevGray` always holds the frame before this one.
    mask = makeMotionView(gray, prevGray);
    sink.show(kMotionWindow, downscaleForDisplay(mask));
}
