#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "hist/vectorscope.h"
#include "hist/waveform.h"

namespace {

using hist::ScopePlot;

// The rows of one plot column whose `channel` is at full strength.
std::vector<int> fullRows(const cv::Mat& image, const ScopePlot& plot, int column, int channel) {
    std::vector<int> rows;
    for (int y = plot.top; y < plot.bottom; ++y) {
        if (image.at<cv::Vec3b>(y, column)[channel] == 255) {
            rows.push_back(y);
        }
    }
    return rows;
}

// Three vertical bands, each of one colour: in the waveform and in each parade plot, the first,
// a middle and the last column light one row at full strength, that of their band's level (0 on
// the bottom row, 255 on the top one, linear between), and no other.
TEST(Scopes, BandsOfKnownLevelsLightTheirColumnsAtExactlyTheirLevels) {
    const cv::Size size(400, 300);
    cv::Mat frame(size, CV_8UC3);
    const cv::Vec3b bands[] = {{255, 0, 40}, {130, 77, 200}, {0, 255, 128}};  // B, G, R
    for (int i = 0; i < 3; ++i) {
        frame.colRange(i * 400 / 3, (i + 1) * 400 / 3).setTo(bands[i]);
    }
    cv::Mat gray;
    cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
    hist::CanvasCache waveformCache, paradeCache;
    const cv::Mat waveform = hist::renderWaveform(gray, size, 12.5, waveformCache);
    const cv::Mat parade = hist::renderParade(frame, size, 0.25, 0.5, paradeCache);
    const ScopePlot plot = hist::waveformPlot(size);
    const std::array<ScopePlot, 3> parts = hist::paradePlots(size);
    EXPECT_EQ(hist::levelRow(plot, 0), plot.bottom - 1);
    EXPECT_EQ(hist::levelRow(plot, 255), plot.top);
    const auto columns = [](const ScopePlot& p) {
        return std::array<int, 3>{p.left, p.left + p.width() / 2, p.right - 1};
    };
    for (int band = 0; band < 3; ++band) {
        SCOPED_TRACE(::testing::Message() << "band " << band);
        const int column = columns(plot)[band];
        const int level = gray.at<uchar>(0, band * 400 / 3);
        EXPECT_EQ(fullRows(waveform, plot, column, 1),
                  std::vector<int>{plot.bottom - 1 - level * (plot.height() - 1) / 255});
        // Red on the left, green in the middle, blue on the right, each in its own colour.
        for (int p = 0; p < 3; ++p) {
            const ScopePlot& part = parts[static_cast<std::size_t>(p)];
            const int channel = 2 - p;
            EXPECT_EQ(fullRows(parade, part, columns(part)[band], channel),
                      std::vector<int>{hist::levelRow(part, bands[band][channel])})
                << "parade plot " << p;
        }
    }
    EXPECT_TRUE(parts[0].right < parts[1].left && parts[1].right < parts[2].left);
}

// A solid colour lights one point, at its Cb to the right and Cr up, with the neutral gray in
// the plot's centre: two solid colours' pictures differ at their two points alone.
TEST(Scopes, SolidColoursLightOneVectorscopePointAtTheirChroma) {
    const cv::Size size(500, 400);
    const ScopePlot plot = hist::vectorscopePlot(size);
    EXPECT_EQ(plot.width(), plot.height());
    const auto picture = [&](const cv::Scalar& bgr) {
        hist::CanvasCache cache;
        return hist::renderVectorscope(cv::Mat(size, CV_8UC3, bgr), size, cache);
    };
    const auto chroma = [](const cv::Scalar& bgr) {
        cv::Mat ycrcb;
        cv::cvtColor(cv::Mat(1, 1, CV_8UC3, bgr), ycrcb, cv::COLOR_BGR2YCrCb);
        return ycrcb.at<cv::Vec3b>(0, 0);
    };
    const int centre = (plot.width() - 1) / 2;
    EXPECT_EQ(picture(cv::Scalar::all(90)).at<cv::Vec3b>(plot.top + centre, plot.left + centre),
              cv::Vec3b::all(255));
    const cv::Scalar a(30, 200, 90), b(200, 60, 40);
    const cv::Mat pictureA = picture(a), pictureB = picture(b);
    std::set<std::pair<int, int>> spots;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            if (pictureA.at<cv::Vec3b>(y, x) != pictureB.at<cv::Vec3b>(y, x)) {
                spots.insert({x, y});
            }
        }
    }
    std::set<std::pair<int, int>> expected;
    for (const cv::Scalar& colour : {a, b}) {
        const cv::Vec3b ycrcb = chroma(colour);
        const cv::Point at = hist::chromaPoint(plot, ycrcb[2], ycrcb[1]);
        expected.insert({at.x, at.y});
        EXPECT_EQ(at.x > plot.left + centre, ycrcb[2] > 128);  // Cb to the right
        EXPECT_EQ(at.y<plot.top + centre, ycrcb[1]> 128);      // Cr up
    }
    EXPECT_EQ(spots, expected);
}

}  // namespace
