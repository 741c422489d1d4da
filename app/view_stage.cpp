#include "app/view_stage.h"

#include "analysis/laplacian_view.h"
#include "analysis/motion_view.h"
#include "app/display.h"
#include "app/window_titles.h"

void runViewStage(SpectrumWorkspace& spectrum, const cv::Mat& gray, cv::Mat& prevGray,
                  ImageSink& sink) {
    const cv::Mat spectrumPicture = spectrum.picture();
    const cv::Mat edges = makeLaplacianView(gray);
    // Runs once per frame, so `prevGray` always holds the frame before this one.
    const cv::Mat motion = makeMotionView(gray, prevGray);

    // Each copy is judged by its own size: the spectrum can be larger than the frame.
    const cv::Mat shownSpectrum = downscaleForDisplay(spectrumPicture);
    const cv::Mat shownEdges = downscaleForDisplay(edges);
    const cv::Mat shownMotion = downscaleForDisplay(motion);
    sink.show(kSpectrumWindow, shownSpectrum);
    sink.show(kEdgeWindow, shownEdges);
    sink.show(kMotionWindow, shownMotion);
}
