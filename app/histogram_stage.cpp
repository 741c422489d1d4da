#include "app/histogram_stage.h"

#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"

void runHistogramStage(const cv::Mat& shownFrame, const cv::Mat& shownGray, double fps,
                       ImageSink& sink) {
    // Both windows take the size of the displayed gray frame; each image is released as soon as
    // it has been shown.
    const cv::Size size = shownGray.size();
    sink.show(kRgbHistogramWindow, renderRgbHistogram(shownFrame, size, fps));
    sink.show(kGrayHistogramWindow, renderGrayHistogram(shownGray, size, fps));
}
