#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "hist/base_canvas.h"
#include "hist/gradient_strip.h"
#include "hist/window_canvas.h"

namespace {

const cv::Vec3b kBackground(18, 18, 22);
const cv::Scalar kBackgroundScalar(18, 18, 22);
// A one-pixel anti-aliased grid line on the background, where no other line crosses it.
const cv::Vec3b kGridLine(47, 47, 55);

// Positions along a row or column whose brightness exceeds both neighbours.
std::vector<int> peaks(const cv::Mat& line, int from, int to) {
    cv::Mat gray;
    cv::cvtColor(line.reshape(3, 1), gray, cv::COLOR_BGR2GRAY);
    std::vector<int> out;
    for (int i = from; i <= to; ++i) {
        const uchar v = gray.at<uchar>(0, i);
        if (v > gray.at<uchar>(0, i - 1) && v > gray.at<uchar>(0, i + 1)) {
            out.push_back(i);
        }
    }
    return out;
}

// The label text as the image library draws it on a blank background.
cv::Mat labelAlone(cv::Size size, const std::string& text, cv::Point origin) {
    cv::Mat blank(size, CV_8UC3, kBackgroundScalar);
    cv::putText(blank, text, origin, cv::FONT_HERSHEY_SIMPLEX, 0.42, cv::Scalar(150, 150, 160), 1,
                cv::LINE_AA, false);
    return blank;
}

bool sameInRegion(const cv::Mat& a, const cv::Mat& b, cv::Rect region) {
    return cv::norm(a(region), b(region), cv::NORM_INF) == 0.0;
}

class GrayCanvas : public ::testing::Test {
  protected:
    const hist::PlotArea area = hist::grayPlotArea({640, 480});
    const cv::Mat canvas = hist::createBaseCanvas("Histogram - Gray", {640, 480}, area, 0);
};

TEST_F(GrayCanvas, HasTheRequestedSizeAndBackground) {
    ASSERT_EQ(canvas.size(), cv::Size(640, 480));
    ASSERT_EQ(canvas.type(), CV_8UC3);
    EXPECT_EQ(canvas.at<cv::Vec3b>(479, 639), kBackground);
    EXPECT_EQ(canvas.at<cv::Vec3b>(0, 639), kBackground);
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 635), kBackground);
}

TEST_F(GrayCanvas, NineGridRowsAtTruncatedEighthsOfTheHeight) {
    const std::vector<int> rows = peaks(canvas.col(80).clone(), 30, 445);
    EXPECT_EQ(rows, (std::vector<int>{34, 84, 134, 184, 234, 284, 334, 384, 434}));
    for (const int y : {84, 234, 384}) {
        EXPECT_EQ(canvas.at<cv::Vec3b>(y, 80), kGridLine) << y;
        EXPECT_EQ(canvas.at<cv::Vec3b>(y, 600), kGridLine) << y;
    }
}

TEST_F(GrayCanvas, NineGridColumnsAtTruncatedEighthsOfTheWidth) {
    const std::vector<int> columns = peaks(canvas.row(300).clone(), 40, 635);
    EXPECT_EQ(columns, (std::vector<int>{46, 118, 190, 262, 335, 407, 479, 551, 624}));
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 335), kGridLine);
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 551), kGridLine);
}

TEST_F(GrayCanvas, TheFrameIsDrawnOverTheOuterGridLines) {
    const cv::Vec3b frame = canvas.at<cv::Vec3b>(300, 46);
    EXPECT_GT(frame[0], kGridLine[0]);
    EXPECT_EQ(canvas.at<cv::Vec3b>(434, 300), frame);
    EXPECT_EQ(canvas.at<cv::Vec3b>(34, 300), frame);
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 624), frame);
}

TEST_F(GrayCanvas, LabelsSitWhereTheImageLibraryPutsTheSameText) {
    const cv::Size size = canvas.size();
    // Only the parts left of the plot frame and below the plot: the lines cross the rest.
    EXPECT_TRUE(sameInRegion(canvas, labelAlone(size, "100.0%", {2, 38}), {0, 22, 44, 20}));
    EXPECT_TRUE(sameInRegion(canvas, labelAlone(size, "50.0%", {2, 238}), {0, 222, 44, 20}));
    EXPECT_TRUE(sameInRegion(canvas, labelAlone(size, "0.0%", {2, 438}), {0, 422, 44, 19}));
    EXPECT_TRUE(sameInRegion(canvas, labelAlone(size, "255", {612, 453}), {590, 437, 50, 22}));
    EXPECT_TRUE(sameInRegion(canvas, labelAlone(size, "128", {323, 453}), {300, 437, 60, 22}));
}

TEST_F(GrayCanvas, TheTitleIsTheOnlyThingAboveThePlot) {
    cv::Mat expected(canvas.size(), CV_8UC3, kBackgroundScalar);
    cv::putText(expected, "Histogram - Gray", {46, 22}, cv::FONT_HERSHEY_SIMPLEX, 0.6,
                cv::Scalar(235, 235, 240), 1, cv::LINE_AA, false);
    EXPECT_TRUE(sameInRegion(canvas, expected, {0, 0, 640, 28}));
}

TEST_F(GrayCanvas, OneGrayStripOf14RowsUnderThePlot) {
    for (int y = 462; y <= 475; ++y) {
        EXPECT_EQ(canvas.at<cv::Vec3b>(y, 46), cv::Vec3b(0, 0, 0)) << y;
        EXPECT_EQ(canvas.at<cv::Vec3b>(y, 46 + 288), cv::Vec3b(127, 127, 127)) << y;
        EXPECT_EQ(canvas.at<cv::Vec3b>(y, 46 + 577), cv::Vec3b(255, 255, 255)) << y;
    }
    for (const int y : {461, 476, 479}) {
        EXPECT_EQ(canvas.at<cv::Vec3b>(y, 334), kBackground) << y;
    }
    EXPECT_EQ(canvas.at<cv::Vec3b>(468, 45), kBackground);
    EXPECT_EQ(canvas.at<cv::Vec3b>(468, 624), kBackground);
}

TEST(RgbCanvas, RedGreenBlueStripsOfTenRowsWithThreeRowGaps) {
    const int h = 480;
    const cv::Mat canvas =
        hist::createBaseCanvas("Histogram - RGB", {640, h}, hist::rgbPlotArea({640, h}), 1);
    const auto at = [&](int y, int x) { return canvas.at<cv::Vec3b>(y, x); };
    for (int y = h - 40; y <= h - 31; ++y) {
        EXPECT_EQ(at(y, 623), cv::Vec3b(0, 0, 255)) << y;
        EXPECT_EQ(at(y, 334), cv::Vec3b(0, 0, 127)) << y;
    }
    for (int y = h - 27; y <= h - 18; ++y) {
        EXPECT_EQ(at(y, 623), cv::Vec3b(0, 255, 0)) << y;
    }
    for (int y = h - 14; y <= h - 5; ++y) {
        EXPECT_EQ(at(y, 623), cv::Vec3b(255, 0, 0)) << y;
        EXPECT_EQ(at(y, 46), cv::Vec3b(0, 0, 0)) << y;
    }
    for (const int y : {h - 41, h - 30, h - 28, h - 17, h - 15, h - 4, h - 1}) {
        EXPECT_EQ(at(y, 623), kBackground) << y;
    }
}

TEST(GradientStrip, ColumnsRunFromIndexZeroToIndex255RoundedHalfAway) {
    std::vector<int> asked;
    const auto record = [&](int v) {
        asked.push_back(v);
        return cv::Vec3b(static_cast<uchar>(v), 1, 2);
    };
    const cv::Mat wide = makeGradientStrip(578, 14, record);
    ASSERT_EQ(wide.size(), cv::Size(578, 14));
    ASSERT_EQ(wide.type(), CV_8UC3);
    ASSERT_EQ(asked.size(), 578u);  // one call per column
    EXPECT_EQ(asked[0], 0);
    EXPECT_EQ(asked[288], 127);
    EXPECT_EQ(asked[577], 255);
    EXPECT_EQ(wide.at<cv::Vec3b>(13, 288), cv::Vec3b(127, 1, 2));

    asked.clear();
    makeGradientStrip(3, 10, record);
    EXPECT_EQ(asked, (std::vector<int>{0, 128, 255}));
    asked.clear();
    const cv::Mat narrow = makeGradientStrip(1, 10, record);
    EXPECT_EQ(asked, std::vector<int>{0});
    EXPECT_EQ(narrow.size(), cv::Size(1, 10));
    EXPECT_EQ(makeGradientStrip(-5, 4, record).size(), cv::Size(1, 4));
}

TEST(GradientStrip, AnEmptyColourFunctionRaisesBadFunctionCall) {
    EXPECT_THROW(makeGradientStrip(4, 2, {}), std::bad_function_call);
}

// Every width with the heights around the strip limits, every height with the widths around
// them.
std::vector<cv::Size> tinySizes() {
    std::vector<cv::Size> sizes;
    for (int w = 1; w <= 70; ++w) {
        for (const int h : {1, 2, 3, 16, 17, 18, 19, 38, 39, 40, 41, 45}) {
            sizes.emplace_back(w, h);
        }
    }
    for (int h = 1; h <= 45; ++h) {
        for (const int w : {1, 2, 46, 47, 61, 62, 63, 64}) {
            sizes.emplace_back(w, h);
        }
    }
    return sizes;
}

TEST(TinyCanvas, EverySizeFromOneByOneGivesACanvasOfThatSize) {
    for (const cv::Size size : tinySizes()) {
        const cv::Mat gray =
            hist::createBaseCanvas("Histogram - Gray", size, hist::grayPlotArea(size), 0);
        const cv::Mat rgb =
            hist::createBaseCanvas("Histogram - RGB", size, hist::rgbPlotArea(size), 1);
        ASSERT_EQ(gray.size(), size);
        ASSERT_EQ(rgb.size(), size);
        ASSERT_EQ(rgb.type(), CV_8UC3);
    }
}

TEST(TinyCanvas, StripsAreWholeAtTheLimitsAndClippedBelowThem) {
    // 64 x 18: the gray strip just fits, rows 0..13 of column 47 are white.
    const cv::Mat fits = hist::createBaseCanvas("g", {64, 18}, hist::grayPlotArea({64, 18}), 0);
    for (int y = 0; y <= 13; ++y) {
        EXPECT_EQ(fits.at<cv::Vec3b>(y, 47), cv::Vec3b(255, 255, 255)) << y;
    }
    // One row lower: the strip's first row lies above the canvas and is cut off.
    const cv::Mat cut = hist::createBaseCanvas("g", {64, 17}, hist::grayPlotArea({64, 17}), 0);
    for (int y = 0; y <= 12; ++y) {
        EXPECT_EQ(cut.at<cv::Vec3b>(y, 47), cv::Vec3b(255, 255, 255)) << y;
    }
    EXPECT_NE(cut.at<cv::Vec3b>(13, 47), cv::Vec3b(255, 255, 255));

    const cv::Mat rgb = hist::createBaseCanvas("c", {64, 40}, hist::rgbPlotArea({64, 40}), 1);
    for (int y = 0; y <= 9; ++y) {
        EXPECT_EQ(rgb.at<cv::Vec3b>(y, 47), cv::Vec3b(0, 0, 255)) << y;
        EXPECT_EQ(rgb.at<cv::Vec3b>(y + 13, 47), cv::Vec3b(0, 255, 0)) << y;
        EXPECT_EQ(rgb.at<cv::Vec3b>(y + 26, 47), cv::Vec3b(255, 0, 0)) << y;
    }
    const cv::Mat rgbCut = hist::createBaseCanvas("c", {64, 30}, hist::rgbPlotArea({64, 30}), 1);
    for (int y = 0; y <= 9; ++y) {
        EXPECT_EQ(rgbCut.at<cv::Vec3b>(y + 3, 47), cv::Vec3b(0, 255, 0)) << y;
        EXPECT_EQ(rgbCut.at<cv::Vec3b>(y + 16, 47), cv::Vec3b(255, 0, 0)) << y;
    }
}

TEST(TinyCanvas, APlotNarrowerThanOneColumnGetsNoStrip) {
    for (const int w : {62, 40}) {
        const cv::Mat canvas = hist::createBaseCanvas("g", {w, 60}, hist::grayPlotArea({w, 60}), 0);
        for (int y = 42; y <= 55; ++y) {
            EXPECT_EQ(canvas.at<cv::Vec3b>(y, w - 1), kBackground) << w << " " << y;
        }
    }
}

}  // namespace
