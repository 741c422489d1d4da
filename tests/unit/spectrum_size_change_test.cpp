#include <gtest/gtest.h>

#include "analysis/spectrum_view.h"

namespace {

cv::Mat noise(cv::Size size, int seed) {
    cv::Mat frame(size, CV_8UC1);
    cv::RNG(seed).fill(frame, cv::RNG::UNIFORM, 0, 256);
    return frame;
}

// Every pair shares the padded size 648 x 486, so the transform's buffers are kept between the
// two frames: whatever the first one left in the padding must not reach the second's spectrum.
TEST(SpectrumSizeChange, ASmallerOrLargerFrameOfTheSamePaddedSizeGivesItsOwnSpectrum) {
    const std::pair<cv::Size, cv::Size> pairs[] = {
        {{648, 486}, {645, 486}}, {{645, 486}, {648, 486}}, {{648, 486}, {648, 481}},
        {{648, 481}, {648, 486}}, {{648, 486}, {645, 481}}, {{645, 481}, {648, 486}},
    };
    for (const SpectrumTransform transform : {SpectrumTransform::OpenCv, SpectrumTransform::Fftw}) {
        if (!spectrumTransformAvailable(transform)) {
            continue;  // a build without FFTW has only the image library's transform
        }
        for (const auto& [first, second] : pairs) {
            SCOPED_TRACE(::testing::Message()
                         << (transform == SpectrumTransform::Fftw ? "FFTW " : "OpenCV ") << first
                         << " then " << second);
            SpectrumWorkspace workspace(transform);
            workspace.makeView(noise(first, 1));
            const cv::Mat frame = noise(second, 2);
            const cv::Mat view = workspace.makeView(frame);
            const cv::Mat alone = SpectrumWorkspace(transform).makeView(frame);
            EXPECT_EQ(cv::norm(view, alone, cv::NORM_INF), 0.0);
        }
    }
}

}  // namespace
