#include "app/display.h"

#include <opencv2/imgproc.hpp>

namespace {

constexpr int kHalvingWidth = 1024;
constexpr int kHalvingHeight = 768;

bool reachesHalvingLimits(cv::Size size) {
    return size.width >= kHalvingWidth && size.height >= kHalvingHeight;
}

}  // namespace

cv::Mat downscaleForDisplay(const cv::Mat& image) {
    if (image.empty() || !reachesHalvingLimits(image.size())) {
        return image;
    }
    cv::Mat out;
    cv::resize(image, out, cv::Size(), 0.5, 0.5, cv::INTER_LINEAR);
    return out;
}

cv::Size windowSizeFor(cv::Size frame) {
    if (!reachesHalvingLimits(frame)) {
        return frame;
    }
    return {frame.width / 2, frame.height / 2};
}
