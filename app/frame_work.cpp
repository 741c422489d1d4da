#include "app/frame_work.h"

#include <array>
#include <functional>

#include <opencv2/imgproc.hpp>

#include "analysis/spectrum_view.h"
#include "app/deferred_sink.h"
#include "app/display.h"
#include "app/histogram_stage.h"
#include "app/view_stage.h"
#include "app/window_titles.h"

void processFrame(FrameImages& images, double fps, ImageSink& sink) {
    // The gray copy, the display copies and the spectrum's transform each spread over the cores
    // by themselves, so they run alone. A frame shown at its own size makes histograms about as
    // costly as the transform, though: the transform then runs on one thread beside them, and
    // the spectrum picture alone afterwards.
    cv::cvtColor(images.frame, images.gray, cv::COLOR_BGR2GRAY);
    const cv::Mat shownFrame = downscaleForDisplay(images.frame);
    const cv::Mat shownGray = downscaleForDisplay(images.gray);
    SpectrumWorkspace& spectrum = processSpectrumWorkspace();
    const bool transformBeside = shownGray.size() == images.gray.size();
    if (!transformBeside) {
        spectrum.transformFrame(images.gray);
    }

    // The spectrum and the other four tasks only read what was made above, so the image library
    // runs them side by side on its threads (work that it would spread inside one of them runs
    // on one thread there). It starts the calling thread on the first two tasks and its other
    // thread on the last three, and either takes over a task the other has not begun; pairing
    // the spectrum with the gray histogram and the RGB histogram with the two small views keeps
    // both cores busy at every frame size. The windows get their images afterwards, here and in
    // the order of a plain run.
    const std::array<std::function<void(ImageSink&)>, 5> stages = {
        [&](ImageSink& out) {
            if (transformBeside) {
                spectrum.transformFrame(images.gray);
            } else {
                runSpectrumView(spectrum, out);
            }
        },
        [&](ImageSink& out) { runGrayHistogram(shownGray, fps, out); },
        [&](ImageSink& out) { runRgbHistogram(shownFrame, shownGray.size(), fps, out); },
        [&](ImageSink& out) { runEdgeView(images.gray, out); },
        [&](ImageSink& out) { runMotionView(images.gray, images.prevGray, out); },
    };
    std::array<DeferredSink, 5> shown;
    cv::parallel_for_(cv::Range(0, 5), [&](const cv::Range& range) {
        for (int stage = range.start; stage < range.end; ++stage) {
            shown[stage].run(stages[stage]);
        }
    });
    if (transformBeside) {
        shown[0].run([&](ImageSink& out) { runSpectrumView(spectrum, out); });
    }
    shown[0].replay(sink);
    shown[3].replay(sink);
    shown[4].replay(sink);
    sink.show(kFrameWindow, shownFrame);
    sink.show(kGrayWindow, shownGray);
    shown[2].replay(sink);
    shown[1].replay(sink);
}
