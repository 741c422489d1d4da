#include "app/frame_work.h"

#include <opencv2/imgproc.hpp>

#include "app/deferred_sink.h"
#include "app/display.h"
#include "app/histogram_stage.h"
#include "app/view_stage.h"
#include "app/window_titles.h"

namespace {

void showFrameAndHistograms(const FrameImages& images, double fps, ImageSink& sink) {
    const cv::Mat shownFrame = downscaleForDisplay(images.frame);
    const cv::Mat shownGray = downscaleForDisplay(images.gray);
    sink.show(kFrameWindow, shownFrame);
    sink.show(kGrayWindow, shownGray);
    runHistogramStage(shownFrame, shownGray, fps, sink);
}

}  // namespace

void processFrame(FrameImages& images, double fps, ImageSink& sink) {
    cv::cvtColor(images.frame, images.gray, cv::COLOR_BGR2GRAY);
    // The view stage and the rest only read the frame and its gray copy, so the image library
    // runs them side by side on its threads; the windows get their images afterwards, here and
    // in the order of a plain run.
    DeferredSink views;
    DeferredSink rest;
    cv::parallel_for_(cv::Range(0, 2), [&](const cv::Range& range) {
        for (int task = range.start; task < range.end; ++task) {
            if (task == 0) {
                views.run([&](ImageSink& out) { runViewStage(images.gray, images.prevGray, out); });
            } else {
                rest.run([&](ImageSink& out) { showFrameAndHistograms(images, fps, out); });
            }
        }
    });
    views.replay(sink);
    rest.replay(sink);
}
