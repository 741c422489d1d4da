#include "hist/channel_hist.h"

#include <vector>

#include <opencv2/imgproc.hpp>

#include "hist/check.h"

namespace hist {

cv::Mat calcChannelHist(const cv::Mat& channel) {
    HIST_CHECK(channel.type() == CV_8UC1, "hist::calcChannelHist");
    // Level v falls into bin v. Neighbouring pixels often share a level; four sets of counters,
    // one per column modulo four, keep consecutive increments of one counter apart.
    std::array<std::array<int, kBins>, 4> counts{};
    for (int y = 0; y < channel.rows; ++y) {
        const uchar* pixel = channel.ptr<uchar>(y);
        const int width = channel.cols;
        int x = 0;
        for (; x + 3 < width; x += 4) {
            ++counts[0][pixel[x]];
            ++counts[1][pixel[x + 1]];
            ++counts[2][pixel[x + 2]];
            ++counts[3][pixel[x + 3]];
        }
        for (; x < width; ++x) {
            ++counts[0][pixel[x]];
        }
    }
    cv::Mat h(kBins, 1, CV_32FC1);
    for (int i = 0; i < kBins; ++i) {
        h.at<float>(i) =
            static_cast<float>(counts[0][i] + counts[1][i] + counts[2][i] + counts[3][i]);
    }
    HIST_CHECK(h.total() == static_cast<size_t>(kBins), "hist::calcChannelHist");
    return h;
}

std::array<cv::Mat, 3> calcChannelHists(const cv::Mat& image) {
    if (image.type() != CV_8UC3) {
        std::vector<cv::Mat> channels;
        cv::split(image, channels);
        return {calcChannelHist(channels[0]), calcChannelHist(channels[1]),
                calcChannelHist(channels[2])};
    }
    // Neighbouring pixels often share a level; two sets of counters, for even and odd columns,
    // keep consecutive increments of one counter apart.
    std::array<std::array<std::array<int, kBins>, 3>, 2> counts{};
    for (int y = 0; y < image.rows; ++y) {
        const uchar* pixel = image.ptr<uchar>(y);
        const int width = image.cols;
        int x = 0;
        for (; x + 1 < width; x += 2, pixel += 6) {
            ++counts[0][0][pixel[0]];
            ++counts[0][1][pixel[1]];
            ++counts[0][2][pixel[2]];
            ++counts[1][0][pixel[3]];
            ++counts[1][1][pixel[4]];
            ++counts[1][2][pixel[5]];
        }
        if (x < width) {
            ++counts[0][0][pixel[0]];
            ++counts[0][1][pixel[1]];
            ++counts[0][2][pixel[2]];
        }
    }
    std::array<cv::Mat, 3> hists;
    for (int c = 0; c < 3; ++c) {
        hists[c].create(kBins, 1, CV_32FC1);
        for (int i = 0; i < kBins; ++i) {
            hists[c].at<float>(i) = static_cast<float>(counts[0][c][i] + counts[1][c][i]);
        }
    }
    return hists;
}

void normalizeTo01(cv::Mat& hist) {
    double minValue = 0.0;
    double maxValue = 0.0;
    cv::minMaxLoc(hist, &minValue, &maxValue);
    if (maxValue - minValue > 0.0) {
        // The expression is evaluated into the existing buffer, so headers sharing it see the
        // scaled values.
        hist = (hist - minValue) / (maxValue - minValue);
    } else {
        hist.setTo(0.0);
    }
}

}  // namespace hist
