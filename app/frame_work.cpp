#include "app/frame_work.h"

#include <opencv2/imgproc.hpp>

#include "app/display.h"
#include "app/histogram_stage.h"
#include "app/view_stage.h"
#include "app/window_titles.h"

void processFrame(FrameImages& images, double fps, ImageSink& sink) {
    cv::cvtColor(images.frame, images.gray, cv::COLOR_BGR2GRAY);
    runViewStage(images.gray, images.prevGray, sink);
    const cv::Mat shownFrame = downscaleForDisplay(images.frame);
    const cv::Mat shownGray = downscaleForDisplay(images.gray);
    sink.show(kFrameWindow, shownFrame);
    sink.show(kGrayWindow, shownGray);
    runHistogramStage(shownFrame, shownGray, fps, sink);
}
