#include "app/histogram_stage.h"

#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"

void runRgbHistogram(const cv::Mat& shownFrame, cv::Size size, double fps, ImageSink& sink) {
    sink.show(kRgbHistogramWindow, renderRgbHistogram(shownFrame, size, fps));
}

void runGrayHistogram(const cv::Mat& shownGray, double fps, ImageSink& sink) {
    sink.show(kGrayHistogramWindow, renderGrayHistogram(shownGray, shownGray.size(), fps));
}
