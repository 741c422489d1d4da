#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "hist/plot.h"
#include "hist/window_canvas.h"
#include "tests/support/cv_assertion.h"

namespace {

const hist::PlotArea kGray = hist::grayPlotArea({640, 480});  // 46, 34, 624, 434, 578, 400
const cv::Scalar kBackground(18, 18, 22);

cv::Mat constantHist(float value) {
    return cv::Mat(256, 1, CV_32FC1, cv::Scalar(value));
}

cv::Mat blankCanvas() {
    return cv::Mat(480, 640, CV_8UC3, kBackground);
}

// The row of the brightest pixel of a column between two rows.
int brightestRow(const cv::Mat& canvas, int x, int from, int to) {
    int best = from;
    int bestSum = -1;
    for (int y = from; y <= to; ++y) {
        const cv::Vec3b p = canvas.at<cv::Vec3b>(y, x);
        const int sum = p[0] + p[1] + p[2];
        if (sum > bestSum) {
            best = y;
            bestSum = sum;
        }
    }
    return best;
}

TEST(CurvePoints, BinsMapToTruncatedPositionsAcrossThePlot) {
    const std::vector<cv::Point> curve = hist::curvePoints(kGray, constantHist(0.0f));
    ASSERT_EQ(curve.size(), 256u);
    EXPECT_EQ(curve[0], cv::Point(46, 434));
    EXPECT_EQ(curve[128], cv::Point(336, 434));  // 128 * 578 / 255 = 290.13
    EXPECT_EQ(curve[255], cv::Point(624, 434));
}

TEST(CurvePoints, ValuesMapToTruncatedHeightsAboveTheBottom) {
    cv::Mat h = constantHist(0.0f);
    h.at<float>(1) = 0.5f;
    h.at<float>(2) = 1.0f;
    h.at<float>(3) = 0.999f;  // 399.6 truncated
    h.at<float>(4) = 1.5f;    // not clamped
    h.at<float>(5) = -0.25f;
    const std::vector<cv::Point> curve = hist::curvePoints(kGray, h);
    EXPECT_EQ(curve[1].y, 234);
    EXPECT_EQ(curve[2].y, 34);
    EXPECT_EQ(curve[3].y, 35);
    EXPECT_EQ(curve[4].y, -166);
    EXPECT_EQ(curve[5].y, 534);
}

TEST(CurvePoints, TheProductIsTakenInSinglePrecision) {
    // 10 * 0.7f is 6.99999988 in double precision but rounds to 7 in single precision.
    const hist::PlotArea area{0, 0, 255, 100, 255, 10};
    const std::vector<cv::Point> curve = hist::curvePoints(area, constantHist(0.7f));
    EXPECT_EQ(curve[0].y, 93);
}

TEST(CurvePoints, AColumnAndARowHistogramAreReadAlike) {
    cv::Mat column = constantHist(0.0f);
    column.at<float>(200) = 0.5f;
    EXPECT_EQ(hist::curvePoints(kGray, column), hist::curvePoints(kGray, column.reshape(1, 1)));
}

TEST(Plot, RejectsAWrongTypeOrCountBeforeDrawing) {
    const struct {
        cv::Mat hist;
        const char* message;
    } cases[] = {
        {cv::Mat(256, 1, CV_64FC1, cv::Scalar(0.5)), "hist01.type() == CV_32FC1"},
        {cv::Mat(255, 1, CV_64FC1, cv::Scalar(0.5)), "hist01.type() == CV_32FC1"},
        {cv::Mat(256, 1, CV_32FC2, cv::Scalar(0.5)), "hist01.type() == CV_32FC1"},
        {cv::Mat(255, 1, CV_32FC1, cv::Scalar(0.5)),
         "hist01.total() == static_cast<size_t>(kBins)"},
        {cv::Mat(1, 257, CV_32FC1, cv::Scalar(0.5)),
         "hist01.total() == static_cast<size_t>(kBins)"},
        {cv::Mat(), "hist01.type() == CV_32FC1"},  // an empty matrix is CV_8UC1
    };
    for (const auto& c : cases) {
        cv::Mat canvas = blankCanvas();
        const cv::Mat before = canvas.clone();
        expectAssertion([&] { hist::plot(canvas, kGray, c.hist, cv::Scalar(220, 220, 220)); },
                        c.message, "hist::plot");
        EXPECT_EQ(cv::norm(canvas, before, cv::NORM_INF), 0.0) << c.message;
    }
}

TEST(Plot, TheAreaUnderTheCurveIsBlended22PercentTowardsTheColour) {
    cv::Mat canvas = blankCanvas();
    hist::plot(canvas, kGray, constantHist(0.5f), cv::Scalar(220, 220, 220));
    // 0.22 * 220 + 0.78 * 18 = 62.44, 0.22 * 220 + 0.78 * 22 = 65.56
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 100), cv::Vec3b(62, 62, 66));
    EXPECT_EQ(canvas.at<cv::Vec3b>(432, 600), cv::Vec3b(62, 62, 66));
    // Above the curve and outside the plot nothing changes.
    EXPECT_EQ(canvas.at<cv::Vec3b>(200, 100), cv::Vec3b(18, 18, 22));
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 40), cv::Vec3b(18, 18, 22));
    EXPECT_EQ(canvas.at<cv::Vec3b>(440, 300), cv::Vec3b(18, 18, 22));
    EXPECT_EQ(brightestRow(canvas, 100, 150, 430), 234);
    EXPECT_EQ(brightestRow(canvas, 500, 150, 430), 234);
}

TEST(Plot, TheCurveIsStrokedOverAHaloOfHalfItsColour) {
    cv::Mat canvas = blankCanvas();
    hist::plot(canvas, kGray, constantHist(0.5f), cv::Scalar(200, 100, 40));
    // Two rows off the curve only the halo (100, 50, 20) shows; on it, mostly the curve.
    EXPECT_EQ(canvas.at<cv::Vec3b>(232, 300), cv::Vec3b(100, 50, 20));
    EXPECT_EQ(canvas.at<cv::Vec3b>(236, 300), cv::Vec3b(100, 50, 20));
    const cv::Vec3b on = canvas.at<cv::Vec3b>(234, 300);
    EXPECT_GT(on[0], 180);
    EXPECT_LT(on[2], 45);
}

TEST(Plot, AnAllZeroHistogramChangesNothingAwayFromTheZeroLine) {
    cv::Mat canvas = blankCanvas();
    hist::plot(canvas, kGray, constantHist(0.0f), cv::Scalar(220, 220, 220));
    cv::Mat changed;
    cv::compare(canvas.reshape(1), blankCanvas().reshape(1), changed, cv::CMP_NE);
    const cv::Rect bounds = cv::boundingRect(changed);
    // Columns of the single-channel view are three per pixel.
    EXPECT_GE(bounds.y, 431);
    EXPECT_LE(bounds.y + bounds.height - 1, 437);
    EXPECT_GE(bounds.x / 3, 42);
    EXPECT_LE((bounds.x + bounds.width - 1) / 3, 628);
}

TEST(Plot, OnlyTheLastCurveEscapesTheLaterFills) {
    const cv::Scalar blue(255, 90, 60);
    const cv::Scalar red(60, 90, 255);
    cv::Mat low = constantHist(0.25f);   // at row 334
    cv::Mat high = constantHist(0.75f);  // at row 134, its fill covers row 334
    cv::Mat alone = blankCanvas();
    hist::plot(alone, kGray, low, blue);
    cv::Mat redAlone = blankCanvas();
    hist::plot(redAlone, kGray, high, red);

    cv::Mat both = alone.clone();
    hist::plot(both, kGray, high, red);
    EXPECT_EQ(both.at<cv::Vec3b>(134, 300), redAlone.at<cv::Vec3b>(134, 300));
    const cv::Vec3b untinted = alone.at<cv::Vec3b>(334, 300);
    const cv::Vec3b tinted = both.at<cv::Vec3b>(334, 300);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(tinted[c], 0.22 * red[c] + 0.78 * untinted[c], 0.5) << c;
    }
}

}  // namespace
