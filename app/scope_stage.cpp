#include "app/scope_stage.h"

#include "analysis/frame_measures.h"
#include "app/window_titles.h"
#include "hist/vectorscope.h"
#include "hist/waveform.h"

void runWaveform(const cv::Mat& gray, const cv::Mat& shownGray, hist::CanvasCache& cache,
                 ImageSink& sink) {
    sink.show(kWaveformWindow,
              hist::renderWaveform(shownGray, shownGray.size(), laplacianVariance(gray), cache));
}

void runParade(const cv::Mat& frame, const cv::Mat& shownFrame, cv::Size size,
               hist::CanvasCache& cache, ImageSink& sink) {
    const ClippedPixels clipped = countClipped(frame);
    const double pixels = double(std::max<std::size_t>(frame.total(), 1));
    sink.show(kParadeWindow, hist::renderParade(shownFrame, size, double(clipped.low) / pixels,
                                                double(clipped.high) / pixels, cache));
}

void runVectorscope(const cv::Mat& shownFrame, cv::Size size, hist::CanvasCache& cache,
                    ImageSink& sink) {
    sink.show(kVectorscopeWindow, hist::renderVectorscope(shownFrame, size, cache));
}
