#include "tests/reference/literal_iteration.h"

#include <opencv2/imgproc.hpp>

#include "app/display.h"
#include "app/window_titles.h"
#include "tests/reference/literal_histograms.h"
#include "tests/reference/literal_spectrum.h"

namespace literal {

cv::Mat makeLaplacianView(const cv::Mat& gray) {
    cv::Mat laplacian;
    cv::Laplacian(gray, laplacian, CV_16S, 3, 1.0, 0.0, cv::BORDER_DEFAULT);
    cv::Mat view;
    cv::convertScaleAbs(laplacian, view, 1.0, 0.0);
    return view;
}

cv::Mat makeMotionView(const cv::Mat& gray, cv::Mat& prevGray) {
    if (prevGray.empty() || prevGray.size() != gray.size()) {
        gray.copyTo(prevGray);
        return cv::Mat::zeros(gray.size(), CV_8UC1);
    }
    cv::Mat difference;
    cv::absdiff(gray, prevGray, difference);
    cv::Mat mask;
    cv::threshold(difference, mask, 25.0, 255.0, cv::THRESH_BINARY);
    gray.copyTo(prevGray);
    return mask;
}

void processFrame(FrameImages& images, double fps, ImageSink& sink) {
    cv::cvtColor(images.frame, images.gray, cv::COLOR_BGR2GRAY);
    const cv::Mat spectrum = makeSpectrumView(images.gray);
    const cv::Mat edges = makeLaplacianView(images.gray);
    const cv::Mat motion = makeMotionView(images.gray, images.prevGray);
    sink.show(kSpectrumWindow, downscaleForDisplay(spectrum));
    sink.show(kEdgeWindow, downscaleForDisplay(edges));
    sink.show(kMotionWindow, downscaleForDisplay(motion));
    const cv::Mat shownFrame = downscaleForDisplay(images.frame);
    const cv::Mat shownGray = downscaleForDisplay(images.gray);
    sink.show(kFrameWindow, shownFrame);
    sink.show(kGrayWindow, shownGray);
    const cv::Size size = shownGray.size();
    sink.show(kRgbHistogramWindow, renderRgbHistogram(shownFrame, size, fps));
    sink.show(kGrayHistogramWindow, renderGrayHistogram(shownGray, size, fps));
}

}  // namespace literal
