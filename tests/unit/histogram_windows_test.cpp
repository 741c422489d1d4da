#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "hist/dynamic_range.h"
#include "hist/gray_histogram.h"
#include "hist/rgb_histogram.h"
#include "hist/window_canvas.h"
#include "tests/support/cv_assertion.h"

namespace {

const cv::Scalar kBackground(18, 18, 22);
const cv::Vec3b kHighMarker(60, 220, 60);

struct Area {
    int left, top, right, bottom, width, height;
    bool operator==(const Area&) const = default;
};
Area fields(const hist::PlotArea& a) {
    return {a.left, a.top, a.right, a.bottom, a.width, a.height};
}

cv::Mat counts(const std::vector<std::pair<int, float>>& bins) {
    cv::Mat h(256, 1, CV_32FC1, cv::Scalar(0.0f));
    for (const auto& [bin, count] : bins) {
        h.at<float>(bin) = count;
    }
    return h;
}

void putTextAt(cv::Mat& image, const std::string& text, cv::Point origin, double scale,
               const cv::Scalar& colour) {
    cv::putText(image, text, origin, cv::FONT_HERSHEY_SIMPLEX, scale, colour, 1, cv::LINE_AA,
                false);
}

// The band above the gray plot, as the image library draws the title, the frame rate and the
// dynamic range text on a blank background.
cv::Mat grayTopBand(int width, const std::string& fps, const std::string& range) {
    cv::Mat band(28, width, CV_8UC3, kBackground);
    putTextAt(band, "Histogram - Gray", {46, 22}, 0.6, cv::Scalar(235, 235, 240));
    putTextAt(band, fps, {266, 22}, 0.55, cv::Scalar(0, 255, 0));
    int baseline = 0;
    const int textWidth = cv::getTextSize(range, cv::FONT_HERSHEY_SIMPLEX, 0.5, 1, &baseline).width;
    putTextAt(band, range, {width - 16 - textWidth, 22}, 0.5, cv::Scalar(60, 220, 60));
    return band;
}

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

TEST(HistogramWindows, PlotAreasFollowTheWindowSize) {
    EXPECT_EQ(fields(hist::grayPlotArea({640, 480})), (Area{46, 34, 624, 434, 578, 400}));
    EXPECT_EQ(fields(hist::rgbPlotArea({640, 480})), (Area{46, 34, 624, 412, 578, 378}));
    EXPECT_EQ(fields(hist::grayPlotArea({1, 1})), (Area{46, 34, -15, -45, -61, -79}));
}

TEST(HistogramWindows, TextsAreFormattedWithOneDecimalAndSinglePercentSigns) {
    EXPECT_EQ(hist::fpsText(29.97), "FPS: 30.0");
    EXPECT_EQ(hist::fpsText(0.0), "FPS: 0.0");
    EXPECT_EQ(hist::fpsText(15.4), "FPS: 15.4");
    EXPECT_EQ(hist::fpsText(1234.56), "FPS: 1234.6");
    EXPECT_EQ(hist::dynamicRangeText(0), "Dynamic Range(5%-95%)=0");
    EXPECT_EQ(hist::dynamicRangeText(255), "Dynamic Range(5%-95%)=255");
}

TEST(RangePoints, TheRunningSumAcceptsEquality) {
    // Exactly 5 % at level 0: the low point is 0; just under 5 % it moves on.
    EXPECT_EQ(hist::findRangePoints(counts({{0, 5}, {200, 95}})).low, 0);
    EXPECT_EQ(hist::findRangePoints(counts({{0, 1}, {200, 19}})).low, 0);
    EXPECT_EQ(hist::findRangePoints(counts({{0, 19}, {200, 381}})).low, 200);
    // Exactly 95 % up to level 10: the high point is 10.
    EXPECT_EQ(hist::findRangePoints(counts({{10, 95}, {200, 5}})).high, 10);
    EXPECT_EQ(hist::findRangePoints(counts({{10, 94}, {200, 6}})).high, 200);
}

TEST(RangePoints, UniformHalfAndHalfAndNeverReached) {
    const hist::RangePoints uniform = hist::findRangePoints(counts({{100, 307200}}));
    EXPECT_EQ(uniform.low, 100);
    EXPECT_EQ(uniform.high, 100);
    const hist::RangePoints halves = hist::findRangePoints(counts({{0, 50}, {255, 50}}));
    EXPECT_EQ(halves.low, 0);
    EXPECT_EQ(halves.high, 255);
    const hist::RangePoints never = hist::findRangePoints(counts({{3, NAN}}));
    EXPECT_EQ(never.low, 255);
    EXPECT_EQ(never.high, 255);
}

TEST(GrayHistogram, AUniformFrameHasBothMarkersOnItsLevelAndRangeZero) {
    const cv::Mat image =
        renderGrayHistogram(cv::Mat(480, 640, CV_8UC1, cv::Scalar(100)), {640, 480}, 30.0);
    ASSERT_EQ(image.size(), cv::Size(640, 480));
    ASSERT_EQ(image.type(), CV_8UC3);
    // 46 + 100 * 578 / 255 = 272; the 95 % marker lies over the 5 % one.
    for (int y = 40; y <= 428; y += 12) {
        for (int x = 271; x <= 273; ++x) {
            EXPECT_EQ(image.at<cv::Vec3b>(y, x), kHighMarker) << x << "," << y;
        }
    }
    EXPECT_TRUE(
        same(image.rowRange(0, 28), grayTopBand(640, "FPS: 30.0", "Dynamic Range(5%-95%)=0")));
}

TEST(GrayHistogram, HalfBlackHalfWhiteSpansTheFullRange) {
    cv::Mat gray(100, 200, CV_8UC1, cv::Scalar(0));
    gray.colRange(100, 200).setTo(255);
    const cv::Mat image = renderGrayHistogram(gray, {640, 480}, 12.0);
    EXPECT_TRUE(
        same(image.rowRange(0, 28), grayTopBand(640, "FPS: 12.0", "Dynamic Range(5%-95%)=255")));
    EXPECT_EQ(image.at<cv::Vec3b>(300, 624), kHighMarker);
    const cv::Vec3b low = image.at<cv::Vec3b>(300, 46);
    EXPECT_GT(low[2], 200);
    EXPECT_LT(low[1], 60);
}

TEST(GrayHistogram, TheFrameRateIsPrintedRounded) {
    const cv::Mat frame(48, 64, CV_8UC1, cv::Scalar(100));
    EXPECT_TRUE(same(renderGrayHistogram(frame, {640, 480}, 29.97).rowRange(0, 28),
                     grayTopBand(640, "FPS: 30.0", "Dynamic Range(5%-95%)=0")));
    EXPECT_TRUE(same(renderGrayHistogram(frame, {640, 480}, 0.0).rowRange(0, 28),
                     grayTopBand(640, "FPS: 0.0", "Dynamic Range(5%-95%)=0")));
}

TEST(GrayHistogram, TheRangeIsTakenFromTheRawCountsNotTheScaledCurve) {
    // Every level once plus 744 pixels at 128: the raw counts reach 5 % at 49 and 95 % at 205;
    // scaled to [0, 1] every other bin would be 0 and both points would fall on 128.
    cv::Mat gray(10, 100, CV_8UC1, cv::Scalar(128));
    for (int v = 0; v < 256; ++v) {
        gray.at<uchar>(v / 100, v % 100) = static_cast<uchar>(v);
    }
    const cv::Mat image = renderGrayHistogram(gray, {640, 480}, 0.0);
    EXPECT_TRUE(
        same(image.rowRange(0, 28), grayTopBand(640, "FPS: 0.0", "Dynamic Range(5%-95%)=156")));
}

TEST(GrayHistogram, RejectsAColourFrame) {
    expectAssertion(
        [] {
            renderGrayHistogram(cv::Mat(4, 4, CV_8UC3), {640, 480}, 0.0);
        },
        "channel.type() == CV_8UC1", "hist::calcChannelHist");
}

TEST(RgbHistogram, ChannelsZeroOneTwoAreDrawnBlueGreenRed) {
    const cv::Mat frame(60, 80, CV_8UC3, cv::Scalar(10, 128, 240));
    const cv::Mat image = renderRgbHistogram(frame, {640, 480}, 0.0);
    ASSERT_EQ(image.size(), cv::Size(640, 480));
    const hist::PlotArea area = hist::rgbPlotArea({640, 480});
    const auto dominant = [&](int level) {
        const cv::Vec3b p = image.at<cv::Vec3b>(200, hist::binX(area, level));
        return static_cast<int>(std::max_element(p.val, p.val + 3) - p.val);
    };
    EXPECT_EQ(dominant(10), 0);
    EXPECT_EQ(dominant(128), 1);
    EXPECT_EQ(dominant(240), 2);
}

TEST(RgbHistogram, TheRedCurveLiesOverTheOthers) {
    const cv::Mat frame(60, 80, CV_8UC3, cv::Scalar(100, 100, 100));
    const cv::Mat image = renderRgbHistogram(frame, {640, 480}, 0.0);
    const cv::Vec3b peak = image.at<cv::Vec3b>(200, 272);
    EXPECT_GT(peak[2], peak[1] + 60);
    EXPECT_GT(peak[2], peak[0] + 60);
}

TEST(RgbHistogram, RejectsFramesWithoutExactlyThreeChannelsBeforeDrawing) {
    const int builds = rgbHistogramCanvasBuilds();
    for (const int type : {CV_8UC1, CV_8UC2, CV_8UC4}) {
        const cv::Mat frame(4, 4, type, cv::Scalar::all(1));
        expectAssertion(
            [&] {
                renderRgbHistogram(frame, {641, 481}, 0.0);
            },
            "bgr.channels() == 3", "renderRgbHistogram");
    }
    EXPECT_EQ(rgbHistogramCanvasBuilds(), builds);
    expectAssertion(
        [] {
            renderRgbHistogram(cv::Mat(4, 4, CV_16UC3), {640, 480}, 0.0);
        },
        "channel.type() == CV_8UC1", "hist::calcChannelHist");
}

TEST(HistogramCanvasCache, BuiltOnceForOneSizeAndAgainForEachChange) {
    const cv::Mat gray(30, 40, CV_8UC1, cv::Scalar(9));
    const cv::Mat bgr(30, 40, CV_8UC3, cv::Scalar(9, 8, 7));
    const cv::Size a(333, 222);
    const cv::Size b(333, 223);
    const int grayBefore = grayHistogramCanvasBuilds();
    const int rgbBefore = rgbHistogramCanvasBuilds();
    renderGrayHistogram(gray, a, 0.0);
    renderGrayHistogram(gray, a, 0.0);
    EXPECT_EQ(grayHistogramCanvasBuilds() - grayBefore, 1);
    EXPECT_EQ(rgbHistogramCanvasBuilds(), rgbBefore);  // the two caches are independent
    renderGrayHistogram(gray, b, 0.0);
    EXPECT_EQ(renderGrayHistogram(gray, a, 0.0).size(), a);
    EXPECT_EQ(grayHistogramCanvasBuilds() - grayBefore, 3);

    renderRgbHistogram(bgr, a, 0.0);
    renderRgbHistogram(bgr, a, 0.0);
    EXPECT_EQ(rgbHistogramCanvasBuilds() - rgbBefore, 1);
    renderRgbHistogram(bgr, {334, 222}, 0.0);
    renderRgbHistogram(bgr, a, 0.0);
    EXPECT_EQ(rgbHistogramCanvasBuilds() - rgbBefore, 3);
}

TEST(HistogramCanvasCache, IsNeverDrawnOn) {
    const cv::Mat dark(30, 40, CV_8UC1, cv::Scalar(20));
    const cv::Mat bright(30, 40, CV_8UC1, cv::Scalar(230));
    const cv::Mat first = renderGrayHistogram(dark, {500, 300}, 10.0);
    renderGrayHistogram(bright, {500, 300}, 99.0);
    EXPECT_TRUE(same(renderGrayHistogram(dark, {500, 300}, 10.0), first));

    const cv::Mat bgrDark(30, 40, CV_8UC3, cv::Scalar(20, 40, 60));
    const cv::Mat rgbFirst = renderRgbHistogram(bgrDark, {500, 300}, 10.0);
    renderRgbHistogram(cv::Mat(30, 40, CV_8UC3, cv::Scalar(200, 220, 240)), {500, 300}, 99.0);
    EXPECT_TRUE(same(renderRgbHistogram(bgrDark, {500, 300}, 10.0), rgbFirst));
}

TEST(HistogramWindows, EveryWindowSizeFromOneByOneGivesAnImageOfThatSize) {
    const cv::Mat gray(1, 1, CV_8UC1, cv::Scalar(7));
    const cv::Mat bgr(1, 1, CV_8UC3, cv::Scalar(1, 2, 3));
    std::vector<cv::Size> sizes = {{2000, 1500}};
    for (int w = 1; w <= 70; ++w) {
        for (const int h : {1, 17, 18, 39, 40, 45}) {
            sizes.emplace_back(w, h);
        }
    }
    for (int h = 1; h <= 45; ++h) {
        for (const int w : {1, 62, 63}) {
            sizes.emplace_back(w, h);
        }
    }
    for (const cv::Size size : sizes) {
        ASSERT_EQ(renderGrayHistogram(gray, size, 5.0).size(), size);
        ASSERT_EQ(renderRgbHistogram(bgr, size, 5.0).size(), size);
    }
}

}  // namespace
