#include "app/frame_work.h"

#include <array>
#include <functional>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "analysis/spectrum_view.h"
#include "app/deferred_sink.h"
#include "app/display.h"
#include "app/histogram_stage.h"
#include "app/scope_stage.h"
#include "app/view_stage.h"
#include "app/window_titles.h"

namespace {

void runSideBySide(const std::vector<std::function<void()>>& tasks) {
    cv::parallel_for_(cv::Range(0, static_cast<int>(tasks.size())), [&](const cv::Range& range) {
        for (int index = range.start; index < range.end; ++index) {
            tasks[static_cast<std::size_t>(index)]();
        }
    });
}

}  // namespace

void processFrame(FrameImages& images, double fps, ImageSink& sink, bool scopes) {
    cv::cvtColor(images.frame, images.gray, cv::COLOR_BGR2GRAY);
    const cv::Mat shownFrame = downscaleForDisplay(images.frame);
    const cv::Mat shownGray = downscaleForDisplay(images.gray);
    SpectrumWorkspace& spectrum = images.spectrum;

    // What the windows show is held back and handed to them afterwards, here and in the order of
    // a plain run: spectrum, edges, motion, the two frames, the RGB and the gray histogram, then
    // the scopes.
    enum Task {
        kSpectrum,
        kGrayHistogram,
        kRgbHistogram,
        kEdges,
        kMotion,
        kWaveform,
        kParade,
        kVectorscope,
        kTasks
    };
    std::array<DeferredSink, kTasks> shown;
    const cv::Size size = shownGray.size();
    hist::ScopeCaches& caches = images.scopes;
    const std::array<std::function<void(ImageSink&)>, kTasks> stages = {
        [&](ImageSink& out) { runSpectrumView(spectrum, out); },
        [&](ImageSink& out) { runGrayHistogram(shownGray, fps, out); },
        [&](ImageSink& out) { runRgbHistogram(shownFrame, size, fps, out); },
        [&](ImageSink& out) { runEdgeView(images.gray, out); },
        [&](ImageSink& out) { runMotionView(images.gray, images.prevGray, images.motion, out); },
        [&](ImageSink& out) { runWaveform(images.gray, shownGray, caches.waveform, out); },
        [&](ImageSink& out) { runParade(images.frame, shownFrame, size, caches.parade, out); },
        [&](ImageSink& out) { runVectorscope(shownFrame, size, caches.vectorscope, out); },
    };
    const auto task = [&](Task which) -> std::function<void()> {
        return [&shown, &stages, which] { shown[which].run(stages[which]); };
    };

    // The gray copy, the display copies and the spectrum's transform each spread over the cores
    // by themselves, so they run alone. The tasks only read what was made before them, so the
    // image library runs them side by side on its threads (work that it would spread inside one
    // of them runs on one thread there). It starts the calling thread on the first half of a
    // list and its other thread on the rest, either taking over what the other has not begun,
    // so each list pairs large tasks with smaller ones.
    if (shownGray.size() == images.gray.size()) {
        // A frame shown at its own size makes the histograms about as costly as the transform,
        // which then takes one core beside them.
        runSideBySide({[&] { spectrum.transformFrame(images.gray); }, task(kEdges),
                       task(kRgbHistogram), task(kMotion)});
        runSideBySide({task(kSpectrum), task(kGrayHistogram)});
    } else {
        spectrum.transformFrame(images.gray);
        runSideBySide({task(kSpectrum), task(kGrayHistogram), task(kRgbHistogram), task(kEdges),
                       task(kMotion)});
    }
    // The scopes come after the other windows' work, so that a run without them does that
    // work exactly as before; the parade, the largest, starts first.
    if (scopes) {
        runSideBySide({task(kParade), task(kWaveform), task(kVectorscope)});
    }
    shown[kSpectrum].replay(sink);
    shown[kEdges].replay(sink);
    shown[kMotion].replay(sink);
    sink.show(kFrameWindow, shownFrame);
    sink.show(kGrayWindow, shownGray);
    shown[kRgbHistogram].replay(sink);
    shown[kGrayHistogram].replay(sink);
    if (scopes) {
        shown[kWaveform].replay(sink);
        shown[kParade].replay(sink);
        shown[kVectorscope].replay(sink);
    }
}
