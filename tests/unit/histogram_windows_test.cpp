#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "hist/base_canvas.h"
#include "hist/channel_hist.h"
#include "hist/dynamic_range.h"
#include "hist/gradient_strip.h"
#include "hist/gray_histogram.h"
#include "hist/plot.h"
#include "hist/rgb_histogram.h"
#include "hist/window_canvas.h"
#include "tests/support/image_checks.h"

namespace {

const cv::Scalar kBackground(18, 18, 22);

void drawText(cv::Mat& image, const std::string& text, cv::Point origin, double scale,
              const cv::Scalar& colour) {
    cv::putText(image, text, origin, cv::FONT_HERSHEY_SIMPLEX, scale, colour, 1, cv::LINE_AA,
                false);
}

// A base canvas at 640 x 480 drawn from its fixed positions, texts and colours; `rows` are the
// grid rows from the plot's bottom up. The plot spans columns 46 to 624 from row 34 down.
cv::Mat designedCanvas(const std::string& title, const std::array<int, 9>& rows) {
    cv::Mat canvas(480, 640, CV_8UC3, kBackground);
    const cv::Scalar grid(50, 50, 58);
    const cv::Scalar label(150, 150, 160);
    const char* percents[] = {"0.0%",  "12.5%", "25.0%", "37.5%", "50.0%",
                              "62.5%", "75.0%", "87.5%", "100.0%"};
    const int columns[] = {46, 118, 190, 262, 335, 407, 479, 551, 624};
    for (int i = 0; i < 9; ++i) {
        cv::line(canvas, {46, rows[i]}, {624, rows[i]}, grid, 1, cv::LINE_AA);
        drawText(canvas, percents[i], {2, rows[i] + 4}, 0.42, label);
    }
    for (int i = 0; i < 9; ++i) {
        cv::line(canvas, {columns[i], 34}, {columns[i], rows[0]}, grid, 1, cv::LINE_AA);
        drawText(canvas, std::to_string(i < 8 ? 32 * i : 255), {columns[i] - 12, rows[0] + 19},
                 0.42, label);
    }
    cv::rectangle(canvas, {46, 34}, {624, rows[0]}, cv::Scalar(90, 90, 100), 1, cv::LINE_AA);
    drawText(canvas, title, {46, 22}, 0.6, cv::Scalar(235, 235, 240));
    // One gray strip of 14 rows, or red, green and blue strips of 10 rows, 3 rows apart.
    const int strips = title == "Histogram - Gray" ? 1 : 3;
    for (int s = 0; s < strips; ++s) {
        for (int c = 0; c < 578; ++c) {
            const double v = static_cast<double>(std::lround(c * 255.0 / 577));
            cv::Scalar colour = strips == 1 ? cv::Scalar::all(v) : cv::Scalar();
            colour[2 - s] = v;
            canvas(cv::Rect(46 + c, rows[0] + 28 + 13 * s, 1, strips == 1 ? 14 : 10)).setTo(colour);
        }
    }
    return canvas;
}

TEST(HistogramCanvas, TheBaseCanvasesAreTheDesignedPictures) {
    EXPECT_TRUE(sameImage(
        hist::createBaseCanvas("Histogram - Gray", {640, 480}, hist::grayPlotArea({640, 480}), 0),
        designedCanvas("Histogram - Gray", {434, 384, 334, 284, 234, 184, 134, 84, 34})));
    EXPECT_TRUE(sameImage(
        hist::createBaseCanvas("Histogram - RGB", {640, 480}, hist::rgbPlotArea({640, 480}), 1),
        designedCanvas("Histogram - RGB", {412, 365, 318, 271, 223, 176, 129, 82, 34})));
}

// Tiny windows still get an image of their size; strips partly above the canvas are cut off.
TEST(HistogramWindows, TinySizesGiveImagesOfThatSizeWithStripsCutAtTheEdge) {
    const cv::Mat pixel(1, 1, CV_8UC3, cv::Scalar(1, 2, 3));
    for (int w = 1; w <= 70; ++w) {
        for (const int h : {1, 17, 18, 39, 40, 45}) {
            for (const cv::Size size : {cv::Size(w, h), cv::Size(h, w)}) {
                SCOPED_TRACE(size);
                ASSERT_EQ(renderGrayHistogram(pixel.reshape(1), size, 5.0).size(), size);
                ASSERT_EQ(renderRgbHistogram(pixel, size, 5.0).size(), size);
            }
        }
    }
    const cv::Mat gray = hist::createBaseCanvas("g", {64, 17}, hist::grayPlotArea({64, 17}), 0);
    const cv::Mat rgb = hist::createBaseCanvas("c", {64, 30}, hist::rgbPlotArea({64, 30}), 1);
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(gray.at<cv::Vec3b>(y + 3, 47), cv::Vec3b(255, 255, 255)) << y;
        EXPECT_EQ(rgb.at<cv::Vec3b>(y + 3, 47), cv::Vec3b(0, 255, 0)) << y;
        EXPECT_EQ(rgb.at<cv::Vec3b>(y + 16, 47), cv::Vec3b(255, 0, 0)) << y;
    }
    // One column gets index 0; three get 0, 128 (127.5 rounded away from zero) and 255.
    const auto blue = [](int v) { return cv::Vec3b(static_cast<uchar>(v), 0, 0); };
    EXPECT_EQ(makeGradientStrip(1, 1, blue).at<cv::Vec3b>(0, 0), cv::Vec3b(0, 0, 0));
    EXPECT_EQ(makeGradientStrip(3, 1, blue).at<cv::Vec3b>(0, 1), cv::Vec3b(128, 0, 0));
}

TEST(DynamicRange, TheRunningSumAcceptsEqualityAndANeverReachedPointIs255) {
    // {count at the first level, count at level 200, low point, high point}
    const int cases[][4] = {{5, 95, 0, 200}, {19, 381, 200, 200}, {95, 5, 0, 0}, {94, 6, 0, 200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c[0] << " at 0, " << c[1] << " at 200");
        cv::Mat counts(256, 1, CV_32FC1, cv::Scalar(0.0f));
        counts.at<float>(0) = c[0];
        counts.at<float>(200) = c[1];
        const hist::RangePoints points = hist::findRangePoints(counts);
        EXPECT_EQ((std::array{points.low, points.high}), (std::array{c[2], c[3]}));
    }
    EXPECT_EQ(hist::findRangePoints(cv::Mat(256, 1, CV_32FC1, cv::Scalar(NAN))).high, 255);
}

// The band above the gray plot: the title, the frame rate and the dynamic range ending at the
// plot's right edge.
cv::Mat grayTopBand(const std::string& fps, const std::string& range) {
    cv::Mat band(28, 640, CV_8UC3, kBackground);
    drawText(band, "Histogram - Gray", {46, 22}, 0.6, cv::Scalar(235, 235, 240));
    drawText(band, fps, {266, 22}, 0.55, cv::Scalar(0, 255, 0));
    int baseline = 0;
    const int width = cv::getTextSize(range, cv::FONT_HERSHEY_SIMPLEX, 0.5, 1, &baseline).width;
    drawText(band, range, {624 - width, 22}, 0.5, cv::Scalar(60, 220, 60));
    return band;
}

TEST(GrayHistogramWindow, MarkersAndTextsOfKnownFrames) {
    // One level: both markers at 46 + 100 * 578 / 255, the 95 % one on top.
    const cv::Mat uniform =
        renderGrayHistogram(cv::Mat(480, 640, CV_8UC1, cv::Scalar(100)), {640, 480}, 29.97);
    EXPECT_TRUE(
        sameImage(uniform.rowRange(0, 28), grayTopBand("FPS: 30.0", "Dynamic Range(5%-95%)=0")));
    EXPECT_EQ(uniform.at<cv::Vec3b>(300, 272), cv::Vec3b(60, 220, 60));
    cv::Mat halves(100, 200, CV_8UC1, cv::Scalar(0));
    halves.colRange(100, 200).setTo(255);
    const cv::Mat spread = renderGrayHistogram(halves, {640, 480}, 0.0);
    EXPECT_TRUE(
        sameImage(spread.rowRange(0, 28), grayTopBand("FPS: 0.0", "Dynamic Range(5%-95%)=255")));
    EXPECT_EQ(spread.at<cv::Vec3b>(300, 46), cv::Vec3b(40, 40, 230));
    EXPECT_EQ(spread.at<cv::Vec3b>(300, 624), cv::Vec3b(60, 220, 60));
}

TEST(HistogramChecks, WrongInputsRaiseTheAssertionWithTheExpressionAndFunction) {
    cv::Mat canvas(480, 640, CV_8UC3, kBackground);
    const auto plotOf = [&canvas](int rows, int type) {
        return [&canvas, rows, type] {
            const cv::Mat h(rows, 1, type, cv::Scalar(0.5));
            hist::plot(canvas, hist::grayPlotArea({640, 480}), h, cv::Scalar(9, 9, 9));
        };
    };
    const auto windowOf = [](int type) {
        return [type] {
            const cv::Mat frame(4, 4, type, cv::Scalar::all(1));
            type == CV_8UC3 ? renderGrayHistogram(frame, {64, 64}, 0)
                            : renderRgbHistogram(frame, {64, 64}, 0);
        };
    };
    const std::string channel = "channel.type() == CV_8UC1";
    const struct {
        std::function<void()> call;
        std::string message;
        const char* function;
    } cases[] = {
        {windowOf(CV_8UC3), channel, "hist::calcChannelHist"},  // into the gray window
        {windowOf(CV_16UC3), channel, "hist::calcChannelHist"},
        {windowOf(CV_8UC4), "bgr.channels() == 3", "renderRgbHistogram"},
        {plotOf(256, CV_64FC1), "hist01.type() == CV_32FC1", "hist::plot"},
        {plotOf(257, CV_32FC1), "hist01.total() == static_cast<size_t>(kBins)", "hist::plot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            c.call();
            ADD_FAILURE() << "no error raised, expected " << c.message;
        } catch (const cv::Exception& e) {  // the image library's assertion failure, -215
            EXPECT_EQ(std::tuple(e.code, e.err, e.func),
                      std::tuple(cv::Error::StsAssert, c.message, std::string(c.function)));
        }
    }
    EXPECT_TRUE(sameImage(canvas, cv::Mat(480, 640, CV_8UC3, kBackground)));  // nothing drawn
}

TEST(HistogramCanvasCache, IsRebuiltOnlyWhenTheSizeChangesAndNeverDrawnOn) {
    hist::CanvasCache cache;
    const uchar* pixels = nullptr;
    for (const cv::Size size :
         {cv::Size(333, 222), {333, 222}, {334, 222}, {334, 223}, {334, 223}}) {
        SCOPED_TRACE(size);
        const bool changed = size != cache.size;
        const cv::Mat image = hist::startWindowImage(cache, "Histogram - Gray", size,
                                                     hist::grayPlotArea(size), 0, 25.0);
        EXPECT_EQ(cache.canvas.data != pixels, changed);
        EXPECT_EQ(image.size(), size);
        EXPECT_FALSE(sameImage(image, cache.canvas));  // the frame rate went on the copy
        pixels = cache.canvas.data;
    }
    EXPECT_TRUE(sameImage(cache.canvas, hist::createBaseCanvas("Histogram - Gray", {334, 223},
                                                               hist::grayPlotArea({334, 223}), 0)));
}

// A histogram counts each level in its own bin; scaled, the rarest bin is 0 and the most
// frequent 1, in the histogram's own buffer, and all bins are 0 when they are equal.
TEST(ChannelHistogram, CountsEachLevelAndScalesTheRarestToZeroAndTheMostFrequentToOne) {
    cv::Mat everyLevel(16, 16, CV_8UC1);
    for (int i = 0; i < 256; ++i) {
        everyLevel.at<uchar>(i / 16, i % 16) = static_cast<uchar>(i);
    }
    cv::Mat skewed;
    cv::vconcat(everyLevel, cv::Mat(2, 16, CV_8UC1, cv::Scalar(7)), skewed);
    const struct {
        const char* name;
        cv::Mat channel;
        int level;  // a level with the count below
        float count;
        float scaledAtLevel;  // after scaling
        float scaledAtZero;
    } cases[] = {
        {"one level", cv::Mat(3, 5, CV_8UC1, cv::Scalar(200)), 200, 15, 1, 0},
        {"every level once", everyLevel, 9, 1, 0, 0},
        {"every level, 7 most", skewed, 7, 33, 1, 0},
        {"a single pixel", cv::Mat(1, 1, CV_8UC1, cv::Scalar(0)), 0, 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const cv::Mat counts = hist::calcChannelHist(c.channel);
        ASSERT_EQ(std::tuple(counts.rows, counts.cols, counts.type()),
                  std::tuple(256, 1, CV_32FC1));
        EXPECT_EQ(counts.at<float>(c.level), c.count);
        EXPECT_EQ(cv::sum(counts)[0], static_cast<double>(c.channel.total()));
        cv::Mat scaled = counts.clone();
        const cv::Mat shared = scaled;
        hist::normalizeTo01(scaled);
        EXPECT_NEAR(shared.at<float>(c.level), c.scaledAtLevel, 1e-6);
        EXPECT_NEAR(shared.at<float>(0), c.scaledAtZero, 1e-6);
        double least = 0, most = 0;
        cv::minMaxLoc(shared, &least, &most);
        EXPECT_NEAR(least, 0.0, 1e-6);
    }
}

}  // namespace
