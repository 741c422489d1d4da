#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/spectrum_view.h"

namespace {

int countEqual(const cv::Mat& image, int value) {
    return cv::countNonZero(image == value);
}

TEST(SpectrumView, AllBlackFrameGivesAllBlack) {
    for (const cv::Size size : {cv::Size(640, 480), cv::Size(641, 75), cv::Size(2, 2)}) {
        const cv::Mat view = makeSpectrumView(cv::Mat::zeros(size, CV_8UC1));
        ASSERT_EQ(view.type(), CV_8UC1) << size;
        EXPECT_FALSE(view.empty()) << size;
        EXPECT_EQ(cv::countNonZero(view), 0) << size;
    }
}

TEST(SpectrumView, UniformFrameHasItsOnlyBrightPixelAtTheCentre) {
    for (const int value : {1, 100, 255}) {
        const cv::Mat view = makeSpectrumView(cv::Mat(480, 640, CV_8UC1, cv::Scalar(value)));
        ASSERT_EQ(view.size(), cv::Size(640, 480));
        EXPECT_EQ(view.at<uchar>(240, 320), 255) << value;
        EXPECT_EQ(countEqual(view, 255), 1) << value;
        // Every other frequency of a uniform frame is zero, so everything else is black.
        EXPECT_EQ(cv::countNonZero(view), 1) << value;
    }
}

TEST(SpectrumView, OutputHasThePaddedSizeCroppedToEven) {
    struct Case {
        cv::Size frame;
        cv::Size spectrum;
    };
    for (const Case& c : {
             Case{{640, 480}, {640, 480}},
             Case{{641, 480}, {648, 480}},    // 7 zero columns at the right
             Case{{640, 481}, {640, 486}},    // 5 zero rows at the bottom
             Case{{640, 75}, {640, 74}},      // 75 is fast already; its last row is dropped
             Case{{75, 640}, {74, 640}},      // likewise the last column
             Case{{1366, 768}, {1440, 768}},  // a common laptop panel
             Case{{3, 3}, {2, 2}},
             Case{{2, 2}, {2, 2}},
         }) {
        cv::Mat frame(c.frame, CV_8UC1);
        cv::randu(frame, 0, 256);
        const cv::Mat view = makeSpectrumView(frame);
        EXPECT_EQ(view.size(), c.spectrum) << c.frame;
        EXPECT_EQ(view.type(), CV_8UC1) << c.frame;
    }
}

TEST(SpectrumView, InputIsLeftUnchanged) {
    cv::Mat frame(75, 641, CV_8UC1);
    cv::randu(frame, 0, 256);
    const cv::Mat before = frame.clone();
    const cv::Mat view = makeSpectrumView(frame);
    EXPECT_EQ(cv::norm(frame, before, cv::NORM_INF), 0.0);
    EXPECT_NE(view.data, frame.data);
}

// Nothing is left after the even crop of a frame one pixel high or wide; the picture must still
// be showable, as must that of every other small frame.
TEST(SpectrumView, FramesOnePixelHighOrWideGiveBlackOfTheirOwnSize) {
    for (const cv::Size size : {cv::Size(1, 1), cv::Size(2, 1), cv::Size(1, 2), cv::Size(7, 1),
                                cv::Size(1, 7), cv::Size(1366, 1), cv::Size(1, 768)}) {
        const cv::Mat view = makeSpectrumView(cv::Mat(size, CV_8UC1, cv::Scalar(200)));
        ASSERT_FALSE(view.empty()) << size;
        EXPECT_EQ(view.size(), size);
        EXPECT_EQ(view.type(), CV_8UC1) << size;
        EXPECT_EQ(cv::countNonZero(view), 0) << size;
    }
    for (int rows = 1; rows <= 6; ++rows) {
        for (int cols = 1; cols <= 6; ++cols) {
            cv::Mat frame(rows, cols, CV_8UC1);
            cv::randu(frame, 0, 256);
            EXPECT_FALSE(makeSpectrumView(frame).empty()) << rows << "x" << cols;
        }
    }
}

// The picture computed the long way in double precision: zero padding, a direct DFT sum,
// ln(1 + |F|), the crop to even sizes, the half-size circular shift, min-max to 0..255, rounding.
cv::Mat referenceSpectrum(const cv::Mat& gray, int rows, int cols) {
    const int evenRows = rows & -2;
    const int evenCols = cols & -2;
    std::vector<double> logMagnitude(static_cast<std::size_t>(rows * cols));
    for (int u = 0; u < rows; ++u) {
        for (int v = 0; v < cols; ++v) {
            std::complex<double> sum = 0.0;
            for (int y = 0; y < gray.rows; ++y) {
                for (int x = 0; x < gray.cols; ++x) {
                    const double angle =
                        -2.0 * std::numbers::pi *
                        (static_cast<double>(u * y) / rows + static_cast<double>(v * x) / cols);
                    sum += static_cast<double>(gray.at<uchar>(y, x)) * std::polar(1.0, angle);
                }
            }
            logMagnitude[static_cast<std::size_t>(u * cols + v)] = std::log1p(std::abs(sum));
        }
    }
    cv::Mat shifted(evenRows, evenCols, CV_64FC1);
    for (int r = 0; r < evenRows; ++r) {
        for (int c = 0; c < evenCols; ++c) {
            const int u = (r + evenRows / 2) % evenRows;
            const int v = (c + evenCols / 2) % evenCols;
            shifted.at<double>(r, c) = logMagnitude[static_cast<std::size_t>(u * cols + v)];
        }
    }
    double low = 0.0;
    double high = 0.0;
    cv::minMaxLoc(shifted, &low, &high);
    cv::Mat expected(evenRows, evenCols, CV_8UC1);
    for (int r = 0; r < evenRows; ++r) {
        for (int c = 0; c < evenCols; ++c) {
            const double scaled =
                high > low ? (shifted.at<double>(r, c) - low) * 255.0 / (high - low) : 0.0;
            expected.at<uchar>(r, c) = static_cast<uchar>(std::lround(scaled));
        }
    }
    return expected;
}

TEST(SpectrumView, MatchesADirectDoublePrecisionTransformWithinOneLevel) {
    struct Case {
        cv::Size frame;
        cv::Size padded;  // the sizes the transform runs on, before the even crop
    };
    cv::RNG rng(20261206);
    for (const Case& c : {
             Case{{11, 7}, {12, 8}},    // padded on both sides
             Case{{5, 9}, {5, 9}},      // odd fast sizes: last row and column dropped
             Case{{14, 13}, {15, 15}},  // padded to odd sizes, then cropped
             Case{{16, 10}, {16, 10}},  // nothing padded or cropped
             Case{{3, 2}, {3, 2}},
         }) {
        cv::Mat frame(c.frame, CV_8UC1);
        rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
        const cv::Mat expected = referenceSpectrum(frame, c.padded.height, c.padded.width);
        const cv::Mat view = makeSpectrumView(frame);
        ASSERT_EQ(view.size(), expected.size()) << c.frame;
        EXPECT_LE(cv::norm(view, expected, cv::NORM_INF), 1.0) << c.frame;
    }
}

}  // namespace
