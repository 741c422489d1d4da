#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "analysis/frame_measures.h"
#include "analysis/laplacian_view.h"
#include "analysis/motion_view.h"
#include "analysis/spectrum_view.h"
#include "app/frame_work.h"
#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"
#include "tests/reference/literal_histograms.h"
#include "tests/reference/literal_iteration.h"
#include "tests/reference/literal_spectrum.h"
#include "tests/reference/synthetic_scene.h"
#include "tests/support/image_checks.h"
#include "tests/support/recording_windows.h"

namespace {

// Another transform rounds differently: every pixel within one level of the recipe's and at
// least 97 % of them equal. Flat frames have spectra that are zero almost everywhere, where each
// transform shows its own rounding noise a few levels above black: there a few pixels in ten
// thousand may differ by more, and 99.5 % must be equal.
::testing::AssertionResult closeSpectrum(const cv::Mat& product, const cv::Mat& literal,
                                         bool flat = false) {
    if (product.size() != literal.size() || product.type() != literal.type()) {
        return sameImage(product, literal);
    }
    const double pixels = static_cast<double>(product.total());
    const double equal = cv::countNonZero(product == literal) / pixels;
    const double far = cv::countNonZero(cv::abs(product - literal) > 1) / pixels;
    if (far > (flat ? 1e-4 : 0.0) || equal < (flat ? 0.995 : 0.97)) {
        return ::testing::AssertionFailure()
               << far * 100 << " % more than a level apart, " << equal * 100 << " % equal";
    }
    return ::testing::AssertionSuccess();
}

cv::Mat grayOf(const cv::Mat& frame) {
    cv::Mat gray;
    cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
    return gray;
}

// Frames with detail everywhere (natural scenes, pure noise, a small bright patch on black), then
// three of flat areas (one colour, all black, halves of 0 and 255).
std::vector<cv::Mat> frameKinds(cv::Size size) {
    cv::Mat noise(size, CV_8UC3);
    cv::RNG(7).fill(noise, cv::RNG::UNIFORM, 0, 256);
    cv::Mat patch = cv::Mat::zeros(size, CV_8UC3);
    cv::rectangle(patch, cv::Rect(size.width / 3, size.height / 2, 3, 2), cv::Scalar::all(255),
                  cv::FILLED);
    cv::Mat halves = cv::Mat::zeros(size, CV_8UC3);
    halves.colRange(size.width / 2, size.width).setTo(cv::Scalar::all(255));
    return {makeSyntheticFrame(size, 0),
            makeSyntheticFrame(size, 1),
            noise,
            patch,
            cv::Mat(size, CV_8UC3, cv::Scalar(100, 150, 200)),
            cv::Mat::zeros(size, CV_8UC3),
            halves};
}
constexpr std::size_t kFirstFlat = 4;

// One frame after another through both, the size changing between pairs (to a frame of the same
// area but another shape, too), so the previous gray frame must be dropped on each change.
TEST(SamePictures, EveryWindowOfEveryIterationMatchesTheRecipe) {
    RecordingWindows product;
    RecordingWindows literal;
    FrameImages productImages;
    FrameImages literalImages;
    int index = 0;
    for (const cv::Size size : {cv::Size(1920, 1080), cv::Size(1366, 768), cv::Size(1021, 768),
                                cv::Size(1025, 769), cv::Size(641, 481), cv::Size(7, 3),
                                cv::Size(3, 7), cv::Size(1, 1), cv::Size(1, 7), cv::Size(7, 1)}) {
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(::testing::Message() << size << " frame " << i);
            const cv::Mat frame = makeSyntheticFrame(size, index++);
            productImages.frame = frame.clone();
            literalImages.frame = frame.clone();
            processFrame(productImages, 24.5, product);
            literal::processFrame(literalImages, 24.5, literal);
            for (const std::string& title : kWindowTitles) {
                const cv::Mat& mine = product.last[title];
                const cv::Mat& theirs = literal.last[title];
                EXPECT_TRUE(title == kSpectrumWindow ? closeSpectrum(mine, theirs)
                                                     : sameImage(mine, theirs))
                    << title;
            }
            EXPECT_EQ(product.shows, literal.shows);
        }
    }
}

// Changes of -40..40 put many pixels on both sides of the motion threshold, 25 and 26; sizes from
// one pixel up reach the mirrored borders and the tails of the vector loops. The motion count
// alone agrees with the mask.
TEST(SamePictures, EdgeAndMotionViewsMatchTheRecipeOverASequence) {
    cv::RNG rng(314);
    for (const cv::Size size : {cv::Size(1, 1), cv::Size(2, 1), cv::Size(1, 2), cv::Size(2, 5),
                                cv::Size(33, 2), cv::Size(641, 481)}) {
        cv::Mat frame(size, CV_8UC1);
        rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
        cv::Mat mine, theirs;  // the previous frames
        for (int step = 0; step < 4; ++step) {
            SCOPED_TRACE(::testing::Message() << size << " step " << step);
            EXPECT_TRUE(sameImage(makeLaplacianView(frame), literal::makeLaplacianView(frame)));
            const int count = countMotionPixels(frame, mine);
            const cv::Mat mask = literal::makeMotionView(frame, theirs);
            EXPECT_TRUE(sameImage(makeMotionView(frame, mine), mask));
            EXPECT_EQ(count, cv::countNonZero(mask));
            cv::Mat change(size, CV_16SC1);
            rng.fill(change, cv::RNG::UNIFORM, -40, 41);
            cv::add(frame, change, frame, cv::noArray(), CV_8U);
        }
    }
    // Every pixel of long rows changed: the count's per-row sums must not wrap.
    const cv::Mat black = cv::Mat::zeros(3, 641, CV_8UC1);
    EXPECT_EQ(countMotionPixels(cv::Mat(black.size(), CV_8UC1, cv::Scalar(255)), black), 3 * 641);
}

// The focus measure and the clipped pixels against the image library's own calls, on frames from
// one pixel up, past the 4096 columns of a stretch, with rows that hold no clipped byte at all.
TEST(FrameMeasures, SharpnessAndClippedPixelsAsTheLibraryCountsThem) {
    cv::RNG rng(2718);
    for (const cv::Size size :
         {cv::Size(1, 1), cv::Size(2, 3), cv::Size(7, 5), cv::Size(4100, 3), cv::Size(641, 481)}) {
        SCOPED_TRACE(size);
        cv::Mat frame(size, CV_8UC3);
        rng.fill(frame, cv::RNG::UNIFORM, 1, 255);   // nothing clipped ...
        for (int i = 0; i < size.area() / 3; ++i) {  // ... but here and there a channel
            frame.at<cv::Vec3b>(rng.uniform(0, size.height),
                                rng.uniform(0, size.width))[rng.uniform(0, 3)] =
                rng.uniform(0, 2) ? 255 : 0;
        }
        frame.row(0).setTo(cv::Scalar(128, 0, 255));
        cv::Mat gray, laplacian;
        cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
        cv::Laplacian(gray, laplacian, CV_64F, 1);
        cv::Scalar mean, deviation;
        cv::meanStdDev(laplacian, mean, deviation);
        const double variance = deviation[0] * deviation[0];
        EXPECT_NEAR(laplacianVariance(gray), variance, 1e-9 * std::max(1.0, variance));
        const ClippedPixels clipped = countClipped(frame);
        std::string expected = measuresOf(frame);
        expected.erase(0, expected.find(',', 1) + 1);  // the two counts after the sharpness
        EXPECT_EQ(expected,
                  std::to_string(clipped.low).append(1, ',').append(std::to_string(clipped.high)));
    }
}

class SpectrumPaths : public ::testing::TestWithParam<SpectrumTransform> {};

// One workspace goes through every size in turn, so each picture also shows that the size
// changes before it left no trace. Odd padded sizes drop a row or column whose mirror image
// still shows.
TEST_P(SpectrumPaths, EveryPictureIsWithinOneLevelOfTheRecipe) {
    if (!spectrumTransformAvailable(GetParam())) {
        GTEST_SKIP() << "this build has no FFTW";
    }
    SpectrumWorkspace workspace(GetParam());
    ASSERT_EQ(workspace.transform(), GetParam());
    for (const cv::Size size :
         {cv::Size(640, 480), cv::Size(1920, 1080), cv::Size(1025, 769), cv::Size(1366, 768),
          cv::Size(641, 481), cv::Size(97, 53), cv::Size(75, 75), cv::Size(16, 13), cv::Size(5, 9),
          cv::Size(9, 5), cv::Size(3, 2), cv::Size(1, 1), cv::Size(1, 7), cv::Size(7, 1)}) {
        const std::vector<cv::Mat> frames = frameKinds(size);
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const cv::Mat gray = grayOf(frames[k]);
            EXPECT_TRUE(closeSpectrum(workspace.makeView(gray), literal::makeSpectrumView(gray),
                                      k >= kFirstFlat))
                << size << " frame " << k;
        }
        // A single bright point has a flat spectrum, black rather than stretched rounding noise.
        cv::Mat point = cv::Mat::zeros(size, CV_8UC1);
        point.at<uchar>(size.height / 2, size.width / 3) = 255;
        const cv::Size literalSize = literal::makeSpectrumView(point).size();
        EXPECT_TRUE(sameImage(workspace.makeView(point), cv::Mat::zeros(literalSize, CV_8UC1)));
    }
}

INSTANTIATE_TEST_SUITE_P(Transforms, SpectrumPaths,
                         ::testing::Values(SpectrumTransform::OpenCv, SpectrumTransform::Fftw),
                         [](const auto& info) {
                             return info.param == SpectrumTransform::Fftw ? "Fftw" : "OpenCv";
                         });

TEST(SamePictures, HistogramWindowsMatchTheRecipeForEveryKindOfFrame) {
    // Every level exactly once: all bins equal, which scales to all zero.
    cv::Mat everyLevel(16, 16, CV_8UC3);
    for (int i = 0; i < 256; ++i) {
        everyLevel.at<cv::Vec3b>(i / 16, i % 16) = cv::Vec3b::all(static_cast<uchar>(i));
    }
    for (const cv::Size size : {cv::Size(640, 480), cv::Size(513, 385), cv::Size(63, 40),
                                cv::Size(62, 39), cv::Size(20, 10)}) {
        std::vector<cv::Mat> frames = frameKinds(size);
        frames.push_back(everyLevel);
        for (std::size_t kind = 0; kind < frames.size(); ++kind) {
            SCOPED_TRACE(::testing::Message() << size << " frame kind " << kind);
            const cv::Mat& frame = frames[kind];
            EXPECT_TRUE(sameImage(renderRgbHistogram(frame, size, 59.94),
                                  literal::renderRgbHistogram(frame, size, 59.94)));
            EXPECT_TRUE(sameImage(renderGrayHistogram(grayOf(frame), size, 59.94),
                                  literal::renderGrayHistogram(grayOf(frame), size, 59.94)));
        }
    }
}

}  // namespace
