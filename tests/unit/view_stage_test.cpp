#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/laplacian_view.h"
#include "analysis/spectrum_view.h"
#include "app/display.h"
#include "app/frame_work.h"
#include "app/view_stage.h"
#include "app/window_titles.h"
#include "tests/support/recording_windows.h"

namespace {

bool sameImage(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

std::string shownSize(const RecordingWindows& windows, const std::string& title) {
    const cv::Mat& image = windows.last.at(title);
    return std::to_string(image.cols) + "x" + std::to_string(image.rows);
}

TEST(ViewStage, ShowsTheThreeViewsInOrder) {
    RecordingWindows windows;
    cv::Mat prevGray;
    runViewStage(cv::Mat(48, 64, CV_8UC1, cv::Scalar(3)), prevGray, windows);
    const std::vector<std::string> expected = {
        "show 2D FFT Spectrum 64x48",
        "show Laplacian Edge 64x48",
        "show Motion Detection 64x48",
    };
    EXPECT_EQ(windows.calls, expected);
}

TEST(ViewStage, MotionIsBlackFirstThenTheChangeAgainstThePreviousIteration) {
    RecordingWindows windows;
    cv::Mat prevGray;
    const cv::Mat first(48, 64, CV_8UC1, cv::Scalar(100));
    runViewStage(first, prevGray, windows);
    EXPECT_TRUE(sameImage(windows.last[kMotionWindow], cv::Mat::zeros(48, 64, CV_8UC1)));

    cv::Mat second = first.clone();
    second(cv::Rect(10, 20, 5, 3)).setTo(200);
    runViewStage(second, prevGray, windows);
    cv::Mat expected = cv::Mat::zeros(48, 64, CV_8UC1);
    expected(cv::Rect(10, 20, 5, 3)).setTo(255);
    // Had the motion view run twice, the mask would be black and the change lost.
    EXPECT_TRUE(sameImage(windows.last[kMotionWindow], expected));
    EXPECT_TRUE(sameImage(prevGray, second));

    runViewStage(second, prevGray, windows);
    EXPECT_EQ(cv::countNonZero(windows.last[kMotionWindow]), 0);
    EXPECT_EQ(windows.shows[kMotionWindow], 3);
}

TEST(ViewStage, SpectrumOfAWideFrameIsHalvedOnItsOwnSize) {
    RecordingWindows windows;
    FrameImages images;
    images.frame = cv::Mat(768, 1366, CV_8UC3, cv::Scalar(10, 90, 200));
    processFrame(images, 0.0, windows);
    EXPECT_EQ(shownSize(windows, kSpectrumWindow), "720x384");
    EXPECT_EQ(shownSize(windows, kFrameWindow), "683x384");
    EXPECT_EQ(shownSize(windows, kGrayWindow), "683x384");
    EXPECT_EQ(shownSize(windows, kEdgeWindow), "683x384");
    EXPECT_EQ(shownSize(windows, kMotionWindow), "683x384");
}

TEST(ViewStage, SpectrumIsHalvedEvenWhenTheFrameIsNot) {
    // 1021 columns pad to 1024, which reaches the halving limits although the frame does not.
    RecordingWindows windows;
    FrameImages images;
    images.frame = cv::Mat(768, 1021, CV_8UC3, cv::Scalar(1, 2, 3));
    processFrame(images, 0.0, windows);
    EXPECT_EQ(shownSize(windows, kSpectrumWindow), "512x384");
    EXPECT_EQ(shownSize(windows, kEdgeWindow), "1021x768");
    EXPECT_EQ(shownSize(windows, kFrameWindow), "1021x768");
}

TEST(ViewStage, ViewsSeeTheFullResolutionFrame) {
    cv::Mat gray(1080, 1920, CV_8UC1);
    cv::randu(gray, 0, 256);
    RecordingWindows windows;
    cv::Mat prevGray;
    runViewStage(gray, prevGray, windows);
    EXPECT_EQ(shownSize(windows, kEdgeWindow), "960x540");
    EXPECT_TRUE(sameImage(windows.last[kEdgeWindow], downscaleForDisplay(makeLaplacianView(gray))));
    EXPECT_TRUE(
        sameImage(windows.last[kSpectrumWindow], downscaleForDisplay(makeSpectrumView(gray))));
    EXPECT_EQ(prevGray.size(), gray.size());
}

TEST(ViewStage, FramesFromOnePixelUpPassWithShowableImages) {
    for (const cv::Size size : {cv::Size(1, 1), cv::Size(7, 1), cv::Size(1, 7), cv::Size(2, 2),
                                cv::Size(3, 1), cv::Size(2, 5)}) {
        RecordingWindows windows;
        FrameImages images;
        for (int i = 0; i < 2; ++i) {
            images.frame = cv::Mat(size, CV_8UC3, cv::Scalar::all(40 + 100 * i));
            ASSERT_NO_THROW(processFrame(images, 0.0, windows)) << size;
        }
        for (const std::string& title : {kSpectrumWindow, kEdgeWindow, kMotionWindow}) {
            ASSERT_EQ(windows.shows[title], 2) << title << " " << size;
            EXPECT_FALSE(windows.last[title].empty()) << title << " " << size;
            EXPECT_EQ(windows.last[title].type(), CV_8UC1) << title << " " << size;
        }
        EXPECT_EQ(windows.last[kMotionWindow].size(), size);
        EXPECT_EQ(cv::countNonZero(windows.last[kMotionWindow]), size.area()) << size;
    }
}

}  // namespace
