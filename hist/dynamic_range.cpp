#include "hist/dynamic_range.h"

#include <cstdio>

#include "hist/channel_hist.h"

namespace hist {

namespace {

// The first bin at which the running sum reaches `target`; equality counts as reached.
int firstBinReaching(const cv::Mat& counts, double target) {
    double sum = 0.0;
    auto count = counts.begin<float>();
    for (int i = 0; i < kBins; ++i, ++count) {
        sum += *count;
        if (sum >= target) {
            return i;
        }
    }
    return 255;
}

}  // namespace

RangePoints findRangePoints(const cv::Mat& counts) {
    const double total = cv::sum(counts)[0];
    return {firstBinReaching(counts, 0.05 * total), firstBinReaching(counts, 0.95 * total)};
}

std::string dynamicRangeText(int range) {
    char text[64];
    std::snprintf(text, sizeof text, "Dynamic Range(5%%-95%%)=%d", range);
    return text;
}

}  // namespace hist
