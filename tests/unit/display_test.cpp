#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "app/display.h"
#include "app/frame_rate.h"

namespace {

TEST(DownscaleForDisplay, ImagesBelowEitherLimitShareTheirPixels) {
    for (const cv::Size size : {cv::Size(1023, 768), cv::Size(1920, 700), cv::Size(1, 1),
                                cv::Size(800, 600), cv::Size(1024, 767)}) {
        const cv::Mat image(size, CV_8UC3, cv::Scalar(1, 2, 3));
        const cv::Mat shown = downscaleForDisplay(image);
        EXPECT_EQ(shown.data, image.data) << size;
        EXPECT_EQ(shown.size(), size);
    }
}

TEST(DownscaleForDisplay, ImagesReachingBothLimitsAreHalvedByTheResize) {
    cv::Mat image(1025, 1025, CV_8UC1);
    cv::randu(image, 0, 256);
    cv::Mat expected;
    cv::resize(image, expected, cv::Size(), 0.5, 0.5, cv::INTER_LINEAR);
    const cv::Mat shown = downscaleForDisplay(image);
    EXPECT_NE(shown.data, image.data);
    ASSERT_EQ(shown.size(), expected.size());
    EXPECT_EQ(cv::norm(shown, expected, cv::NORM_INF), 0.0);
    EXPECT_EQ(downscaleForDisplay(cv::Mat(768, 1024, CV_8UC3)).size(), cv::Size(512, 384));
    EXPECT_EQ(downscaleForDisplay(cv::Mat(1024, 1280, CV_8UC3)).size(), cv::Size(640, 512));
}

TEST(DownscaleForDisplay, AnEmptyImageStaysEmpty) {
    EXPECT_TRUE(downscaleForDisplay(cv::Mat()).empty());
}

TEST(WindowSize, HalvesWithIntegerDivisionOnlyAtBothLimits) {
    EXPECT_EQ(windowSizeFor({1280, 1024}), cv::Size(640, 512));
    EXPECT_EQ(windowSizeFor({1025, 769}), cv::Size(512, 384));
    EXPECT_EQ(windowSizeFor({1023, 768}), cv::Size(1023, 768));
    EXPECT_EQ(windowSizeFor({1920, 700}), cv::Size(1920, 700));
    EXPECT_EQ(windowSizeFor({1024, 768}), cv::Size(512, 384));
}

TEST(FrameRate, FirstSampleIsTakenThenEachLaterOneCountsAFifth) {
    double fps = 0.0;
    fps = smoothFrameRate(fps, 100'000'000);  // 10 frames per second
    EXPECT_DOUBLE_EQ(fps, 10.0);
    fps = smoothFrameRate(fps, 40'000'000);  // then a steady 25
    EXPECT_DOUBLE_EQ(fps, 13.0);
    fps = smoothFrameRate(fps, 40'000'000);
    EXPECT_NEAR(fps, 15.4, 1e-12);
    for (int i = 0; i < 200; ++i) {
        fps = smoothFrameRate(fps, 40'000'000);
    }
    EXPECT_NEAR(fps, 25.0, 1e-9);
}

TEST(FrameRate, AnIntervalThatIsNotPositiveKeepsTheRate) {
    EXPECT_DOUBLE_EQ(smoothFrameRate(0.0, 0), 0.0);
    EXPECT_DOUBLE_EQ(smoothFrameRate(12.5, 0), 12.5);
    EXPECT_DOUBLE_EQ(smoothFrameRate(12.5, -5), 12.5);
}

}  // namespace
