#include "hist/channel_hist.h"

#include <opencv2/imgproc.hpp>

#include "hist/check.h"

namespace hist {

cv::Mat calcChannelHist(const cv::Mat& channel) {
    HIST_CHECK(channel.type() == CV_8UC1, "hist::calcChannelHist");
    const int bins = kBins;
    const int channels[] = {0};
    const int histSize[] = {bins};
    // Upper bound exclusive, so that level v falls into bin v.
    const float range[] = {0.0f, 256.0f};
    const float* ranges[] = {range};
    cv::Mat h;
    cv::calcHist(&channel, 1, channels, cv::Mat(), h, 1, histSize, ranges, true, false);
    HIST_CHECK(h.total() == static_cast<size_t>(bins), "hist::calcChannelHist");
    return h.reshape(1, bins);
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
