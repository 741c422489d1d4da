#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "analysis/spectrum_view.h"
#include "app/frame_work.h"
#include "app/window_titles.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"
#include "tests/reference/literal_histograms.h"
#include "tests/reference/literal_iteration.h"
#include "tests/reference/literal_spectrum.h"
#include "tests/reference/synthetic_scene.h"
#include "tests/support/recording_windows.h"

namespace {

std::string describe(cv::Size size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

::testing::AssertionResult identical(const cv::Mat& product, const cv::Mat& literal) {
    if (product.size() != literal.size() || product.type() != literal.type()) {
        return ::testing::AssertionFailure()
               << "product " << describe(product.size()) << " type " << product.type()
               << ", literal " << describe(literal.size()) << " type " << literal.type();
    }
    const double diff = cv::norm(product, literal, cv::NORM_INF);
    if (diff != 0.0) {
        return ::testing::AssertionFailure() << "pixels differ by up to " << diff;
    }
    return ::testing::AssertionSuccess();
}

double equalShare(const cv::Mat& a, const cv::Mat& b) {
    return static_cast<double>(cv::countNonZero(a == b)) / static_cast<double>(a.total());
}

// The spectrum may come from another transform, whose rounding differs: every pixel within one
// level of the recipe's. The recipe's own rounding already moves up to about 1.5 % of the pixels
// of some frames by a level against an exact transform, so the share of equal pixels is held to
// 99.5 % over many frames and to a looser floor frame by frame.
::testing::AssertionResult closeSpectrum(const cv::Mat& product, const cv::Mat& literal) {
    if (product.size() != literal.size() || product.type() != literal.type()) {
        return identical(product, literal);
    }
    const double diff = cv::norm(product, literal, cv::NORM_INF);
    const double equal = equalShare(product, literal);
    if (diff > 1.0 || equal < 0.97) {
        return ::testing::AssertionFailure()
               << "largest difference " << diff << ", " << equal * 100.0 << " % equal";
    }
    return ::testing::AssertionSuccess();
}

// Frames made of flat areas have spectra that are zero almost everywhere; there each transform
// shows its own rounding noise, a few levels above black. A few pixels in ten thousand may then
// differ by more than a level.
::testing::AssertionResult closeNoiseFloor(const cv::Mat& product, const cv::Mat& literal) {
    if (product.size() != literal.size() || product.type() != literal.type()) {
        return identical(product, literal);
    }
    cv::Mat difference;
    cv::absdiff(product, literal, difference);
    const int far = cv::countNonZero(difference > 1);
    const double equal = equalShare(product, literal);
    if (static_cast<double>(far) > 1e-4 * static_cast<double>(product.total()) || equal < 0.995) {
        return ::testing::AssertionFailure()
               << far << " pixels more than a level apart, " << equal * 100.0 << " % equal";
    }
    return ::testing::AssertionSuccess();
}

// Counts equal pixels over many pictures.
struct Agreement {
    double equal = 0.0;
    double total = 0.0;
    void add(const cv::Mat& a, const cv::Mat& b) {
        equal += equalShare(a, b) * static_cast<double>(a.total());
        total += static_cast<double>(a.total());
    }
    double share() const { return equal / total; }
};

cv::Mat gray(const cv::Mat& frame) {
    cv::Mat out;
    cv::cvtColor(frame, out, cv::COLOR_BGR2GRAY);
    return out;
}

// Frames with detail everywhere: natural scenes, pure noise, a bright square on black.
std::vector<cv::Mat> detailedFrames(cv::Size size) {
    std::vector<cv::Mat> frames = {makeSyntheticFrame(size, 0), makeSyntheticFrame(size, 1)};
    cv::Mat noise(size, CV_8UC3);
    cv::RNG(7).fill(noise, cv::RNG::UNIFORM, 0, 256);
    frames.push_back(noise);
    cv::Mat square = cv::Mat::zeros(size, CV_8UC3);
    cv::rectangle(square, cv::Rect(size.width / 3, size.height / 2, 3, 2), cv::Scalar::all(255),
                  cv::FILLED);
    frames.push_back(square);
    return frames;
}

// Frames of flat areas: one colour, all black, two halves of 0 and 255.
std::vector<cv::Mat> flatFrames(cv::Size size) {
    std::vector<cv::Mat> frames;
    frames.emplace_back(size, CV_8UC3, cv::Scalar(100, 150, 200));
    frames.push_back(cv::Mat::zeros(size, CV_8UC3));
    cv::Mat halves(size, CV_8UC3, cv::Scalar(0, 0, 0));
    halves.colRange(size.width / 2, size.width).setTo(cv::Scalar(255, 255, 255));
    frames.push_back(halves);
    return frames;
}

std::vector<cv::Mat> testFrames(cv::Size size) {
    std::vector<cv::Mat> frames = detailedFrames(size);
    for (const cv::Mat& frame : flatFrames(size)) {
        frames.push_back(frame);
    }
    return frames;
}

const std::vector<cv::Size> kSizes = {
    {640, 480}, {1280, 720}, {1920, 1080}, {1025, 769}, {1366, 768},
    {641, 481}, {97, 53},    {75, 75},     {3, 2},      {1, 1},
};

TEST(SamePictures, EveryWindowOfEveryFrameMatchesThePlainRecipe) {
    for (const cv::Size size :
         {cv::Size(1920, 1080), cv::Size(1025, 769), cv::Size(640, 480), cv::Size(641, 481),
          cv::Size(75, 75), cv::Size(7, 3), cv::Size(1, 1)}) {
        RecordingWindows product;
        RecordingWindows literal;
        FrameImages productImages;
        FrameImages literalImages;
        for (const cv::Mat& frame : {makeSyntheticFrame(size, 3), makeSyntheticFrame(size, 4),
                                     makeSyntheticFrame(size, 5)}) {
            productImages.frame = frame.clone();
            literalImages.frame = frame.clone();
            processFrame(productImages, 24.5, product);
            literal::processFrame(literalImages, 24.5, literal);
            for (const std::string& title : kWindowTitles) {
                ASSERT_EQ(product.shows[title], literal.shows[title]) << title;
                const cv::Mat& mine = product.last[title];
                const cv::Mat& theirs = literal.last[title];
                if (title == kSpectrumWindow) {
                    EXPECT_TRUE(closeSpectrum(mine, theirs)) << title << " " << describe(size);
                } else {
                    EXPECT_TRUE(identical(mine, theirs)) << title << " " << describe(size);
                }
            }
            EXPECT_TRUE(identical(productImages.prevGray, literalImages.prevGray));
        }
    }
}

class SpectrumPaths : public ::testing::TestWithParam<SpectrumTransform> {
  protected:
    void SetUp() override {
        if (!spectrumTransformAvailable(GetParam())) {
            GTEST_SKIP() << "this build has no FFTW";
        }
    }
};

TEST_P(SpectrumPaths, EveryFrameIsWithinOneLevelOfThePlainRecipe) {
    SpectrumWorkspace workspace(GetParam());
    ASSERT_EQ(workspace.transform(), GetParam());
    Agreement agreement;
    for (const cv::Size size : kSizes) {
        for (const cv::Mat& frame : detailedFrames(size)) {
            const cv::Mat input = gray(frame);
            const cv::Mat mine = workspace.makeView(input);
            const cv::Mat theirs = literal::makeSpectrumView(input);
            EXPECT_TRUE(closeSpectrum(mine, theirs)) << describe(size);
            agreement.add(mine, theirs);
        }
        for (const cv::Mat& frame : flatFrames(size)) {
            const cv::Mat input = gray(frame);
            EXPECT_TRUE(
                closeNoiseFloor(workspace.makeView(input), literal::makeSpectrumView(input)))
                << describe(size);
        }
    }
    EXPECT_GE(agreement.share(), 0.995);
}

// Every magnitude of a single bright point's spectrum is the same, so the picture is black, as
// that of any flat spectrum; stretching the transform's rounding noise would fill it with grain.
TEST_P(SpectrumPaths, ASingleBrightPointGivesBlack) {
    SpectrumWorkspace workspace(GetParam());
    for (const cv::Size size : {cv::Size(640, 480), cv::Size(641, 481), cv::Size(1920, 1080)}) {
        cv::Mat point = cv::Mat::zeros(size, CV_8UC1);
        point.at<uchar>(size.height / 2, size.width / 3) = 255;
        const cv::Mat view = workspace.makeView(point);
        EXPECT_EQ(cv::countNonZero(view), 0) << describe(size);
        EXPECT_EQ(view.size(), literal::makeSpectrumView(point).size());
    }
}

// Odd padded sizes drop the last row or column, whose mirror image is still shown elsewhere.
TEST_P(SpectrumPaths, OddAndTinyPaddedSizesMatch) {
    SpectrumWorkspace workspace(GetParam());
    cv::RNG rng(99);
    for (int rows = 1; rows <= 16; ++rows) {
        for (int cols = 1; cols <= 16; cols += 3) {
            cv::Mat input(rows, cols, CV_8UC1);
            rng.fill(input, cv::RNG::UNIFORM, 0, 256);
            EXPECT_TRUE(closeSpectrum(workspace.makeView(input), literal::makeSpectrumView(input)))
                << cols << "x" << rows;
            const cv::Mat transposed = input.t();
            EXPECT_TRUE(closeSpectrum(workspace.makeView(transposed),
                                      literal::makeSpectrumView(transposed)))
                << rows << "x" << cols;
        }
    }
}

TEST_P(SpectrumPaths, TheWorkspaceFollowsSizeChangesAndKeepsNoTrace) {
    SpectrumWorkspace workspace(GetParam());
    const cv::Mat small = gray(makeSyntheticFrame({640, 480}, 0));
    const cv::Mat odd = gray(makeSyntheticFrame({641, 75}, 1));
    const cv::Mat other = gray(makeSyntheticFrame({640, 480}, 2));

    const cv::Mat first = workspace.makeView(small);
    const cv::Mat kept = first.clone();
    EXPECT_EQ(workspace.sizeChanges(), 1);
    // Same size: the buffers are reused and the earlier picture is not written over.
    const cv::Mat second = workspace.makeView(other);
    EXPECT_EQ(workspace.sizeChanges(), 1);
    EXPECT_NE(first.data, second.data);
    EXPECT_TRUE(identical(first, kept));

    const std::vector<const cv::Mat*> sequence = {&odd, &small, &odd, &other};
    int changes = 1;
    for (const cv::Mat* input : sequence) {
        const cv::Mat view = workspace.makeView(*input);
        EXPECT_EQ(workspace.sizeChanges(), ++changes);
        // Whatever came before, the picture is that of a fresh workspace.
        EXPECT_TRUE(identical(view, SpectrumWorkspace(GetParam()).makeView(*input)));
        EXPECT_TRUE(closeSpectrum(view, literal::makeSpectrumView(*input)));
    }
}

INSTANTIATE_TEST_SUITE_P(Transforms, SpectrumPaths,
                         ::testing::Values(SpectrumTransform::OpenCv, SpectrumTransform::Fftw),
                         [](const auto& info) {
                             return info.param == SpectrumTransform::Fftw ? "Fftw" : "OpenCv";
                         });

TEST(SamePictures, HistogramWindowsMatchThePlainRecipeForEveryKindOfFrame) {
    for (const cv::Size size : {cv::Size(640, 480), cv::Size(960, 540), cv::Size(513, 385),
                                cv::Size(63, 40), cv::Size(62, 39), cv::Size(20, 10)}) {
        for (const cv::Mat& frame : testFrames(size)) {
            const cv::Mat shownGray = gray(frame);
            for (const double fps : {0.0, 59.94}) {
                EXPECT_TRUE(identical(renderRgbHistogram(frame, size, fps),
                                      literal::renderRgbHistogram(frame, size, fps)))
                    << describe(size);
                EXPECT_TRUE(identical(renderGrayHistogram(shownGray, size, fps),
                                      literal::renderGrayHistogram(shownGray, size, fps)))
                    << describe(size);
            }
        }
    }
}

}  // namespace
