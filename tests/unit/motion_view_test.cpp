#include <cstdlib>

#include <gtest/gtest.h>

#include "analysis/motion_view.h"

namespace {

bool sameImage(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

TEST(MotionView, FirstCallIsBlackAndKeepsACopyOfTheFrame) {
    cv::Mat gray(4, 6, CV_8UC1);
    cv::randu(gray, 0, 256);
    cv::Mat prevGray;
    const cv::Mat view = makeMotionView(gray, prevGray);
    EXPECT_TRUE(sameImage(view, cv::Mat::zeros(4, 6, CV_8UC1)));
    EXPECT_TRUE(sameImage(prevGray, gray));
    EXPECT_NE(prevGray.data, gray.data);
}

TEST(MotionView, IdenticalFramesAreBlack) {
    cv::Mat gray(48, 64, CV_8UC1);
    cv::randu(gray, 0, 256);
    cv::Mat prevGray = gray.clone();
    EXPECT_EQ(cv::countNonZero(makeMotionView(gray, prevGray)), 0);
}

TEST(MotionView, OnlyChangesAboveTwentyFiveTurnWhite) {
    const cv::Mat before = (cv::Mat_<uchar>(1, 8) << 100, 100, 100, 100, 0, 255, 30, 7);
    const cv::Mat after = (cv::Mat_<uchar>(1, 8) << 125, 75, 126, 74, 255, 0, 5, 7);
    const cv::Mat expected = (cv::Mat_<uchar>(1, 8) << 0, 0, 255, 255, 255, 255, 0, 0);
    cv::Mat prevGray = before.clone();
    EXPECT_TRUE(sameImage(makeMotionView(after, prevGray), expected));
    EXPECT_TRUE(sameImage(prevGray, after));
}

TEST(MotionView, RandomFramesGiveTheMaskOfTheirDifference) {
    cv::Mat first(30, 40, CV_8UC1);
    cv::Mat second(30, 40, CV_8UC1);
    cv::randu(first, 0, 256);
    cv::randu(second, 0, 256);
    cv::Mat expected(30, 40, CV_8UC1);
    for (int r = 0; r < 30; ++r) {
        for (int c = 0; c < 40; ++c) {
            const int change = std::abs(second.at<uchar>(r, c) - first.at<uchar>(r, c));
            expected.at<uchar>(r, c) = change > 25 ? 255 : 0;
        }
    }
    cv::Mat prevGray;
    makeMotionView(first, prevGray);
    EXPECT_TRUE(sameImage(makeMotionView(second, prevGray), expected));
}

TEST(MotionView, SizeChangeRestartsWithBlackThenComparesNormally) {
    cv::Mat prevGray(4, 4, CV_8UC1, cv::Scalar(0));
    const cv::Mat wide(3, 5, CV_8UC1, cv::Scalar(200));
    EXPECT_TRUE(sameImage(makeMotionView(wide, prevGray), cv::Mat::zeros(3, 5, CV_8UC1)));
    EXPECT_TRUE(sameImage(prevGray, wide));

    // Same pixel count, other shape: still a change of size.
    const cv::Mat tall(5, 3, CV_8UC1, cv::Scalar(0));
    EXPECT_TRUE(sameImage(makeMotionView(tall, prevGray), cv::Mat::zeros(5, 3, CV_8UC1)));

    cv::Mat next = tall.clone();
    next.at<uchar>(4, 2) = 99;
    cv::Mat expected = cv::Mat::zeros(5, 3, CV_8UC1);
    expected.at<uchar>(4, 2) = 255;
    EXPECT_TRUE(sameImage(makeMotionView(next, prevGray), expected));
}

TEST(MotionView, LaterChangesToTheCallersFrameDoNotReachThePreviousFrame) {
    cv::Mat gray(5, 5, CV_8UC1, cv::Scalar(40));
    cv::Mat prevGray;
    makeMotionView(gray, prevGray);  // reset path
    gray.setTo(90);
    EXPECT_TRUE(sameImage(prevGray, cv::Mat(5, 5, CV_8UC1, cv::Scalar(40))));

    makeMotionView(gray, prevGray);  // normal path
    gray.setTo(10);
    EXPECT_TRUE(sameImage(prevGray, cv::Mat(5, 5, CV_8UC1, cv::Scalar(90))));
}

TEST(MotionView, PreviousFrameBufferIsReusedWhileTheSizeStays) {
    cv::Mat prevGray;
    makeMotionView(cv::Mat(8, 8, CV_8UC1, cv::Scalar(1)), prevGray);
    const uchar* buffer = prevGray.data;
    makeMotionView(cv::Mat(8, 8, CV_8UC1, cv::Scalar(2)), prevGray);
    EXPECT_EQ(prevGray.data, buffer);
    EXPECT_EQ(prevGray.at<uchar>(0, 0), 2);
}

}  // namespace
