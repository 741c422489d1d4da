#include "hist/waveform.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "hist/canvas_style.h"

namespace hist {

namespace {

constexpr int kRightRoom = 16;
constexpr int kBottomRoom = 16;
constexpr int kParadeGap = 8;
constexpr std::array<int, 5> kMarkedLevels = {0, 64, 128, 192, 255};

// The counts of each level in each column of every channel of `image`, in one pass: channel c
// of column x at [(x * channels + c) * 256], so that one pixel's counts lie close together.
std::vector<std::int32_t> columnHistograms(const cv::Mat& image) {
    const std::size_t values = static_cast<std::size_t>(image.cols) * image.channels();
    std::vector<std::int32_t> counts(values * 256, 0);
    for (int y = 0; y < image.rows; ++y) {
        const uchar* value = image.ptr<uchar>(y);
        for (std::size_t i = 0; i < values; ++i) {
            ++counts[i * 256 + value[i]];
        }
    }
    return counts;
}

// How bright each count of pixels is drawn among `total`, for every count up to it.
std::vector<uchar> brightnessTable(std::int64_t total) {
    std::vector<uchar> table(static_cast<std::size_t>(total) + 1);
    for (std::int64_t count = 0; count <= total; ++count) {
        table[static_cast<std::size_t>(count)] = brightness(count, total);
    }
    return table;
}

// The trace of one channel's column counts in `plot` (columns `stride` counts apart): each plot
// column shows the image columns that fall on it (one stretched over several where the plot is
// wider).
void drawTrace(cv::Mat& image, const ScopePlot& plot, const std::int32_t* counts,
               std::size_t stride, cv::Size source, const cv::Vec3f& colour) {
    if (plot.empty() || source.empty()) {
        return;
    }
    std::array<int, 256> rowOf{};
    for (int level = 0; level < 256; ++level) {
        rowOf[static_cast<std::size_t>(level)] = levelRow(plot, level) - plot.top;
    }
    std::vector<std::int64_t> rows(static_cast<std::size_t>(plot.height()), 0);
    // A plot column holds one or two image columns, so a table or two serve the whole plot.
    std::map<std::int64_t, std::vector<uchar>> tables;
    for (int c = 0; c < plot.width(); ++c) {
        const int first = c * source.width / plot.width();
        const int last = std::max(first + 1, (c + 1) * source.width / plot.width());
        for (int x = first; x < last; ++x) {
            const std::int32_t* column = counts + static_cast<std::size_t>(x) * stride;
            for (int level = 0; level < 256; ++level) {
                rows[static_cast<std::size_t>(rowOf[static_cast<std::size_t>(level)])] +=
                    column[level];
            }
        }
        const std::int64_t total = std::int64_t(last - first) * source.height;
        std::vector<uchar>& table = tables[total];
        if (table.empty()) {
            table = brightnessTable(total);
        }
        // Levels that share a row are drawn once, with their sum, which is then cleared.
        for (const int r : rowOf) {
            std::int64_t& count = rows[static_cast<std::size_t>(r)];
            if (count != 0) {
                const uchar b = table[static_cast<std::size_t>(count)];
                image.at<cv::Vec3b>(plot.top + r, plot.left + c) = colour * (b / 255.0f);
                count = 0;
            }
        }
    }
}

void drawLevels(cv::Mat& canvas, const ScopePlot& plot, bool labelled) {
    for (const int level : kMarkedLevels) {
        const int y = levelRow(plot, level);
        cv::line(canvas, {plot.left, y}, {plot.right - 1, y}, graticuleColour(), 1, cv::LINE_8);
        if (labelled) {
            drawLabel(canvas, std::to_string(level), {4, y + 4});
        }
    }
}

std::string percent(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f%%", 100.0 * share);
    return text;
}

}  // namespace

ScopePlot waveformPlot(cv::Size size) {
    return {kLabelRoom, kTitleRoom, size.width - kRightRoom, size.height - kBottomRoom};
}

std::array<ScopePlot, 3> paradePlots(cv::Size size) {
    const ScopePlot whole = waveformPlot(size);
    const int width = (whole.width() - 2 * kParadeGap) / 3;
    std::array<ScopePlot, 3> plots{};
    for (int i = 0; i < 3; ++i) {
        const int left = whole.left + i * (width + kParadeGap);
        plots[static_cast<std::size_t>(i)] = {left, whole.top, left + width, whole.bottom};
    }
    return plots;
}

int levelRow(const ScopePlot& plot, int level) {
    return plot.bottom - 1 - level * (plot.height() - 1) / 255;
}

cv::Mat renderWaveform(const cv::Mat& shownGray, cv::Size size, double sharpness,
                       CanvasCache& cache) {
    const ScopePlot plot = waveformPlot(size);
    cv::Mat image = startScope(cache, "Waveform", size, [&](cv::Mat& canvas) {
        if (!plot.empty()) {
            drawLevels(canvas, plot, true);
        }
    });
    if (shownGray.type() == CV_8UC1) {
        drawTrace(image, plot, columnHistograms(shownGray).data(), 256, shownGray.size(),
                  {140, 255, 150});
    }
    char text[48];
    std::snprintf(text, sizeof text, "Sharpness=%.1f", sharpness);
    printNumbers(image, text, plot.right);
    return image;
}

cv::Mat renderParade(const cv::Mat& shownFrame, cv::Size size, double clippedLow,
                     double clippedHigh, CanvasCache& cache) {
    const std::array<ScopePlot, 3> plots = paradePlots(size);
    cv::Mat image = startScope(cache, "RGB Parade", size, [&](cv::Mat& canvas) {
        for (std::size_t i = 0; i < plots.size(); ++i) {
            if (!plots[i].empty()) {
                drawLevels(canvas, plots[i], i == 0);
            }
        }
    });
    // Red on the left: the frame's third channel.
    const std::array<cv::Vec3f, 3> colours = {cv::Vec3f(70, 80, 255), cv::Vec3f(90, 255, 90),
                                              cv::Vec3f(255, 140, 70)};
    if (shownFrame.type() == CV_8UC3) {
        const std::vector<std::int32_t> counts = columnHistograms(shownFrame);
        for (int i = 0; i < 3; ++i) {
            drawTrace(image, plots[static_cast<std::size_t>(i)],
                      counts.data() + static_cast<std::size_t>(2 - i) * 256, 3 * 256,
                      shownFrame.size(), colours[static_cast<std::size_t>(i)]);
        }
    }
    printNumbers(image, "Clipped 0: " + percent(clippedLow) + "  255: " + percent(clippedHigh),
                 waveformPlot(size).right);
    return image;
}

}  // namespace hist
