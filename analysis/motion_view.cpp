#include "analysis/motion_view.h"

#include <opencv2/imgproc.hpp>

namespace {

constexpr double kMotionThreshold = 25.0;

}  // namespace

cv::Mat makeMotionView(const cv::Mat& gray, cv::Mat& prevGray) {
    if (prevGray.empty() || prevGray.size() != gray.size()) {
        gray.copyTo(prevGray);
        return cv::Mat::zeros(gray.size(), CV_8UC1);
    }
    cv::Mat difference;
    cv::absdiff(gray, prevGray, difference);
    cv::Mat mask;
    cv::threshold(difference, mask, kMotionThreshold, 255.0, cv::THRESH_BINARY);
    // The copy reuses the buffer of the previous frame while the size stays.
    gray.copyTo(prevGray);
    return mask;
}
