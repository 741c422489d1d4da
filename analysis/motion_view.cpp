#include "analysis/motion_view.h"

#include <algorithm>

#include "analysis/wide_vectors.h"

namespace {

constexpr int kMotionThreshold = 25;

bool comparable(const cv::Mat& gray, const cv::Mat& prevGray) {
    return !prevGray.empty() && prevGray.size() == gray.size() && prevGray.type() == gray.type();
}

uchar changeOf(uchar now, uchar before) {
    return now > before ? uchar(now - before) : uchar(before - now);
}

// Marks the changed pixels of one row and then takes the row over as the previous one, in one
// pass over both. Written on 8-bit values throughout so that the compiler vectorises it.
void compareRow(const uchar* current, uchar* previous, int width, uchar* out) {
    for (int x = 0; x < width; ++x) {
        const uchar now = current[x];
        out[x] = changeOf(now, previous[x]) > kMotionThreshold ? 255 : 0;
        previous[x] = now;
    }
}

// The changed pixels of one row, summed in bytes over stretches too short to overflow, so that
// no vector lane is widened.
VELMORA_WIDE_VECTORS int changedInRow(const uchar* current, const uchar* previous, int width) {
    int count = 0;
    for (int start = 0; start < width; start += 255) {
        const int end = std::min(start + 255, width);
        uchar stretch = 0;
        for (int x = start; x < end; ++x) {
            stretch += changeOf(current[x], previous[x]) > kMotionThreshold;
        }
        count += stretch;
    }
    return count;
}

}  // namespace

cv::Mat makeMotionView(const cv::Mat& gray, cv::Mat& prevGray) {
    // A previous frame of another type cannot come from the loop; it is replaced like one of
    // another size rather than read as 8-bit pixels.
    if (!comparable(gray, prevGray)) {
        gray.copyTo(prevGray);
        return cv::Mat::zeros(gray.size(), CV_8UC1);
    }
    cv::Mat mask(gray.size(), CV_8UC1);
    for (int y = 0; y < gray.rows; ++y) {
        compareRow(gray.ptr<uchar>(y), prevGray.ptr<uchar>(y), gray.cols, mask.ptr<uchar>(y));
    }
    return mask;
}

int countMotionPixels(const cv::Mat& gray, const cv::Mat& prevGray) {
    if (!comparable(gray, prevGray)) {
        return 0;
    }
    int count = 0;
    for (int y = 0; y < gray.rows; ++y) {
        count += changedInRow(gray.ptr<uchar>(y), prevGray.ptr<uchar>(y), gray.cols);
    }
    return count;
}
