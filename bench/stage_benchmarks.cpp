#include <functional>
#include <memory>

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include "analysis/frame_measures.h"
#include "analysis/laplacian_view.h"
#include "analysis/motion_view.h"
#include "analysis/spectrum_view.h"
#include "app/display.h"
#include "bench/bench_frames.h"
#include "bench/benchmarks.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"
#include "hist/vectorscope.h"
#include "hist/waveform.h"
#include "tests/reference/literal_histograms.h"
#include "tests/reference/literal_iteration.h"
#include "tests/reference/literal_spectrum.h"

namespace {

// The images each stage starts from, made once per size from two consecutive frames.
struct StageInputs {
    cv::Mat frame;
    cv::Mat gray;
    cv::Mat nextGray;
    cv::Mat spectrum;
    cv::Mat edges;
    cv::Mat motion;
    cv::Mat shownFrame;
    cv::Mat shownGray;
};

StageInputs makeInputs(cv::Size size) {
    const std::vector<cv::Mat>& frames = benchFrames(size);
    StageInputs in;
    in.frame = frames[0];
    cv::cvtColor(frames[0], in.gray, cv::COLOR_BGR2GRAY);
    cv::cvtColor(frames[1], in.nextGray, cv::COLOR_BGR2GRAY);
    in.spectrum = literal::makeSpectrumView(in.gray);
    in.edges = literal::makeLaplacianView(in.gray);
    cv::Mat prev = in.gray.clone();
    in.motion = literal::makeMotionView(in.nextGray, prev);
    in.shownFrame = downscaleForDisplay(in.frame);
    in.shownGray = downscaleForDisplay(in.gray);
    return in;
}

using Stage = std::function<cv::Mat(const StageInputs&)>;

void runStage(benchmark::State& state, cv::Size size, const Stage& stage) {
    const StageInputs in = makeInputs(size);
    for (auto _ : state) {
        cv::Mat out = stage(in);
        benchmark::DoNotOptimize(out.data);
    }
}

// The motion view alternates between two frames so that every call compares a real change.
void runMotion(benchmark::State& state, cv::Size size, cv::Mat (*view)(const cv::Mat&, cv::Mat&)) {
    const StageInputs in = makeInputs(size);
    cv::Mat prevGray = in.gray.clone();
    bool odd = false;
    for (auto _ : state) {
        cv::Mat out = view(odd ? in.gray : in.nextGray, prevGray);
        odd = !odd;
        benchmark::DoNotOptimize(out.data);
    }
}

cv::Mat grayConversion(const StageInputs& in) {
    cv::Mat gray;
    cv::cvtColor(in.frame, gray, cv::COLOR_BGR2GRAY);
    return gray;
}

cv::Mat displayCopies(const StageInputs& in) {
    cv::Mat last;
    for (const cv::Mat* image : {&in.spectrum, &in.edges, &in.motion, &in.frame, &in.gray}) {
        last = downscaleForDisplay(*image);
        benchmark::DoNotOptimize(last.data);
    }
    return last;
}

// One transform path of the product's spectrum, with its own workspace kept across calls.
void runSpectrumPath(benchmark::State& state, cv::Size size, SpectrumTransform transform) {
    if (!spectrumTransformAvailable(transform)) {
        state.SkipWithError("this build has no FFTW");
        return;
    }
    const StageInputs in = makeInputs(size);
    SpectrumWorkspace workspace(transform);
    for (auto _ : state) {
        cv::Mat out = workspace.makeView(in.gray);
        benchmark::DoNotOptimize(out.data);
    }
}

void add(const char* stage, const char* implementation, cv::Size size, Stage work) {
    inMilliseconds(benchmark::RegisterBenchmark(benchName(stage, implementation, size).c_str(),
                                                runStage, size, std::move(work)));
}

// The frame's numbers and the three scopes, the product's only; the scopes keep their canvases
// from call to call, as the loop does.
void addScopes(cv::Size size) {
    add("sharpness", "product", size, [](const StageInputs& in) {
        benchmark::DoNotOptimize(laplacianVariance(in.gray));
        return cv::Mat();
    });
    add("clipped", "product", size, [](const StageInputs& in) {
        benchmark::DoNotOptimize(countClipped(in.frame));
        return cv::Mat();
    });
    const auto caches = std::make_shared<hist::ScopeCaches>();
    add("waveform", "product", size, [caches](const StageInputs& in) {
        return hist::renderWaveform(in.shownGray, in.shownGray.size(), 100.0, caches->waveform);
    });
    add("rgb-parade", "product", size, [caches](const StageInputs& in) {
        return hist::renderParade(in.shownFrame, in.shownGray.size(), 0.01, 0.01, caches->parade);
    });
    add("vectorscope", "product", size, [caches](const StageInputs& in) {
        return hist::renderVectorscope(in.shownFrame, in.shownGray.size(), caches->vectorscope);
    });
}

}  // namespace

void registerStageBenchmarks() {
    for (const cv::Size size : benchSizes()) {
        add("gray", "shared", size, grayConversion);
        add("spectrum", "literal", size,
            [](const StageInputs& in) { return literal::makeSpectrumView(in.gray); });
        // The product keeps its workspace from frame to frame, as the loop does.
        add("spectrum", "product", size,
            [workspace = std::make_shared<SpectrumWorkspace>()](const StageInputs& in) {
                return workspace->makeView(in.gray);
            });
        for (const auto& [implementation, transform] :
             {std::pair{"opencv", SpectrumTransform::OpenCv},
              std::pair{"fftw", SpectrumTransform::Fftw}}) {
            inMilliseconds(
                benchmark::RegisterBenchmark(benchName("spectrum", implementation, size).c_str(),
                                             runSpectrumPath, size, transform));
        }
        add("laplacian", "literal", size,
            [](const StageInputs& in) { return literal::makeLaplacianView(in.gray); });
        add("laplacian", "product", size,
            [](const StageInputs& in) { return makeLaplacianView(in.gray); });
        for (const auto& [implementation, view] : {std::pair{"literal", &literal::makeMotionView},
                                                   std::pair{"product", &makeMotionView}}) {
            inMilliseconds(benchmark::RegisterBenchmark(
                benchName("motion", implementation, size).c_str(), runMotion, size, view));
        }
        add("display-copies", "shared", size, displayCopies);
        add("histogram-rgb", "literal", size, [](const StageInputs& in) {
            return literal::renderRgbHistogram(in.shownFrame, in.shownGray.size(), 30.0);
        });
        add("histogram-rgb", "product", size, [](const StageInputs& in) {
            return renderRgbHistogram(in.shownFrame, in.shownGray.size(), 30.0);
        });
        add("histogram-gray", "literal", size, [](const StageInputs& in) {
            return literal::renderGrayHistogram(in.shownGray, in.shownGray.size(), 30.0);
        });
        add("histogram-gray", "product", size, [](const StageInputs& in) {
            return renderGrayHistogram(in.shownGray, in.shownGray.size(), 30.0);
        });
        addScopes(size);
    }
}
