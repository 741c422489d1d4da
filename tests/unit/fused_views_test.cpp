#include <gtest/gtest.h>

#include "analysis/laplacian_view.h"
#include "analysis/motion_view.h"
#include "tests/reference/literal_iteration.h"

namespace {

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

// Thin lines, tiny frames and odd widths exercise the mirrored border on every side.
const std::vector<cv::Size> kSizes = {{1, 1}, {2, 1},  {1, 2},  {2, 2},     {3, 3},      {1, 7},
                                      {7, 1}, {17, 5}, {33, 2}, {641, 481}, {1920, 1080}};

TEST(EdgesAndMotion, EdgeViewEqualsTheFilterAndAbsoluteValueForAnyFrame) {
    cv::RNG rng(314);
    for (const cv::Size size : kSizes) {
        cv::Mat noise(size, CV_8UC1);
        rng.fill(noise, cv::RNG::UNIFORM, 0, 256);
        // Extremes reach the saturation: 0/255 checkerboards give responses of +-2040.
        cv::Mat checker(size, CV_8UC1);
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x) {
                checker.at<uchar>(y, x) = (x + y) % 2 ? 255 : 0;
            }
        }
        for (const cv::Mat& frame : {noise, checker, cv::Mat(size, CV_8UC1, cv::Scalar(77))}) {
            EXPECT_TRUE(same(makeLaplacianView(frame), literal::makeLaplacianView(frame))) << size;
        }
    }
    // A region of a larger image (rows not contiguous) is filtered as an image of its own: the
    // border is mirrored inside it, the pixels around it are not read.
    cv::Mat big(40, 50, CV_8UC1);
    rng.fill(big, cv::RNG::UNIFORM, 0, 256);
    const cv::Mat part = big(cv::Rect(3, 4, 21, 17));
    EXPECT_TRUE(same(makeLaplacianView(part), literal::makeLaplacianView(part.clone())));
}

TEST(EdgesAndMotion, MotionViewMatchesAbsoluteDifferenceAndThresholdOverASequence) {
    cv::RNG rng(2718);
    for (const cv::Size size : kSizes) {
        cv::Mat mine;
        cv::Mat theirs;
        cv::Mat frame(size, CV_8UC1);
        rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
        for (int step = 0; step < 4; ++step) {
            // Changes of -40..40 put many pixels on both sides of the threshold, 25 and 26.
            cv::Mat change(size, CV_16SC1);
            rng.fill(change, cv::RNG::UNIFORM, -40, 41);
            cv::Mat next;
            cv::add(frame, change, next, cv::noArray(), CV_8U);
            frame = next;
            EXPECT_TRUE(same(makeMotionView(frame, mine), literal::makeMotionView(frame, theirs)))
                << size << " step " << step;
            EXPECT_TRUE(same(mine, theirs));
            EXPECT_NE(mine.data, frame.data);
        }
    }
}

TEST(EdgesAndMotion, APreviousFrameOfAnotherTypeIsReplacedLikeOneOfAnotherSize) {
    const cv::Mat gray(4, 6, CV_8UC1, cv::Scalar(200));
    cv::Mat prev(4, 6, CV_16UC1, cv::Scalar(0));
    const cv::Mat mask = makeMotionView(gray, prev);
    EXPECT_EQ(cv::countNonZero(mask), 0);
    EXPECT_EQ(prev.type(), CV_8UC1);
    EXPECT_TRUE(same(prev, gray));
}

}  // namespace
