#include "analysis/half_spectrum.h"

#include "analysis/padded_frame.h"

#if VELMORA_WITH_FFTW

#include <fftw3.h>

#include <algorithm>
#include <thread>

namespace {

struct FftwFree {
    void operator()(void* p) const { fftwf_free(p); }
};

struct PlanDestroy {
    void operator()(fftwf_plan_s* plan) const { fftwf_destroy_plan(plan); }
};

// The aligned input and output arrays of one padded size and the plan that transforms one into
// the other. Empty members mean the size could not be prepared.
struct SizedPlan {
    cv::Size padded;
    std::unique_ptr<float, FftwFree> input;
    std::unique_ptr<fftwf_complex, FftwFree> output;
    std::unique_ptr<fftwf_plan_s, PlanDestroy> plan;
};

// FFTW splits one transform into jobs and hands them to the image library's threads: on both
// cores when the transform runs alone, on one thread when it runs as one of several tasks side
// by side. No second pool of threads competes for the cores.
#if VELMORA_WITH_FFTW_THREADS
void runJobs(void* (*work)(char*), char* jobData, std::size_t jobSize, int jobs, void* /*data*/) {
    cv::parallel_for_(cv::Range(0, jobs), [&](const cv::Range& range) {
        for (int job = range.start; job < range.end; ++job) {
            work(jobData + jobSize * static_cast<std::size_t>(job));
        }
    });
}
#endif

void planOnAllCores() {
#if VELMORA_WITH_FFTW_THREADS
    static const bool ready = [] {
        if (fftwf_init_threads() == 0) {
            return false;
        }
        fftwf_threads_set_callback(runJobs, nullptr);
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        fftwf_plan_with_nthreads(static_cast<int>(cores));
        return true;
    }();
    (void)ready;
#endif
}

SizedPlan makeSizedPlan(cv::Size padded) {
    planOnAllCores();
    SizedPlan made;
    made.padded = padded;
    const std::size_t rows = static_cast<std::size_t>(padded.height);
    made.input.reset(fftwf_alloc_real(rows * static_cast<std::size_t>(padded.width)));
    made.output.reset(fftwf_alloc_complex(rows * static_cast<std::size_t>(padded.width / 2 + 1)));
    if (made.input && made.output) {
        // Estimating picks a plan at once; measuring would stall the first frame of a new size
        // for seconds.
        made.plan.reset(fftwf_plan_dft_r2c_2d(padded.height, padded.width, made.input.get(),
                                              made.output.get(), FFTW_ESTIMATE));
    }
    return made;
}

class FftwHalfSpectrum final : public HalfSpectrumTransform {
  public:
    cv::Mat transform(const cv::Mat& gray, cv::Size padded) override {
        if (sized_.padded != padded) {
            sized_ = SizedPlan{};  // the old arrays go before the new ones are taken
            sized_ = makeSizedPlan(padded);
        }
        if (!sized_.plan) {
            return fallback_->transform(gray, padded);
        }
        // The arrays come uninitialised; the padding is rewritten each time for little cost.
        cv::Mat input(padded, CV_32F, sized_.input.get());
        fillPadded(gray, input);
        fftwf_execute(sized_.plan.get());
        return cv::Mat(padded.height, padded.width / 2 + 1, CV_32FC2, sized_.output.get());
    }

  private:
    SizedPlan sized_;
    // Used only for a size whose arrays or plan could not be had.
    std::unique_ptr<HalfSpectrumTransform> fallback_ = makeOpenCvHalfSpectrum();
};

}  // namespace

std::unique_ptr<HalfSpectrumTransform> makeFftwHalfSpectrum() {
    return std::make_unique<FftwHalfSpectrum>();
}

#else

std::unique_ptr<HalfSpectrumTransform> makeFftwHalfSpectrum() {
    return nullptr;
}

#endif
