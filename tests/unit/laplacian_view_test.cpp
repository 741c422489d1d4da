#include <gtest/gtest.h>

#include "analysis/laplacian_view.h"

namespace {

TEST(LaplacianView, UniformFrameIsBlackBordersIncluded) {
    for (const int value : {0, 1, 77, 255}) {
        for (const cv::Size size :
             {cv::Size(7, 5), cv::Size(1, 1), cv::Size(9, 1), cv::Size(1, 9), cv::Size(2, 2)}) {
            const cv::Mat view = makeLaplacianView(cv::Mat(size, CV_8UC1, cv::Scalar(value)));
            ASSERT_EQ(view.size(), size);
            ASSERT_EQ(view.type(), CV_8UC1);
            EXPECT_EQ(cv::countNonZero(view), 0) << value << " " << size;
        }
    }
}

TEST(LaplacianView, WhitePixelLightsItselfAndItsDiagonalsOnly) {
    cv::Mat frame = cv::Mat::zeros(9, 11, CV_8UC1);
    frame.at<uchar>(4, 5) = 255;
    cv::Mat expected = cv::Mat::zeros(9, 11, CV_8UC1);
    for (const cv::Point p :
         {cv::Point(5, 4), cv::Point(4, 3), cv::Point(6, 3), cv::Point(4, 5), cv::Point(6, 5)}) {
        expected.at<uchar>(p) = 255;
    }
    EXPECT_EQ(cv::norm(makeLaplacianView(frame), expected, cv::NORM_INF), 0.0);
}

TEST(LaplacianView, DimPixelShowsTheThreeByThreeKernelWeights) {
    // -8 at the centre, 2 at the diagonals, 0 at the direct neighbours; nothing saturates here.
    cv::Mat frame = cv::Mat::zeros(7, 7, CV_8UC1);
    frame.at<uchar>(3, 3) = 10;
    cv::Mat expected = cv::Mat::zeros(7, 7, CV_8UC1);
    expected.at<uchar>(3, 3) = 80;
    for (const cv::Point p : {cv::Point(2, 2), cv::Point(4, 2), cv::Point(2, 4), cv::Point(4, 4)}) {
        expected.at<uchar>(p) = 20;
    }
    EXPECT_EQ(cv::norm(makeLaplacianView(frame), expected, cv::NORM_INF), 0.0);
}

TEST(LaplacianView, CornerPixelIsMirroredWithoutRepeatingTheEdge) {
    cv::Mat frame = cv::Mat::zeros(5, 5, CV_8UC1);
    frame.at<uchar>(0, 0) = 10;
    cv::Mat expected = cv::Mat::zeros(5, 5, CV_8UC1);
    expected.at<uchar>(0, 0) = 80;  // a repeated edge would have given 60
    expected.at<uchar>(1, 1) = 20;
    EXPECT_EQ(cv::norm(makeLaplacianView(frame), expected, cv::NORM_INF), 0.0);
}

TEST(LaplacianView, VerticalStepGivesExactlyTwoWhiteColumns) {
    cv::Mat frame = cv::Mat::zeros(6, 10, CV_8UC1);
    frame.colRange(5, 10).setTo(255);
    cv::Mat expected = cv::Mat::zeros(6, 10, CV_8UC1);
    expected.colRange(4, 6).setTo(255);
    EXPECT_EQ(cv::norm(makeLaplacianView(frame), expected, cv::NORM_INF), 0.0);
}

TEST(LaplacianView, OutputHasTheInputSizeAndLeavesTheInputAlone) {
    for (const cv::Size size : {cv::Size(1920, 1080), cv::Size(641, 75), cv::Size(3, 1)}) {
        cv::Mat frame(size, CV_8UC1);
        cv::randu(frame, 0, 256);
        const cv::Mat before = frame.clone();
        const cv::Mat view = makeLaplacianView(frame);
        EXPECT_EQ(view.size(), size);
        EXPECT_EQ(view.type(), CV_8UC1);
        EXPECT_EQ(cv::norm(frame, before, cv::NORM_INF), 0.0);
    }
}

}  // namespace
