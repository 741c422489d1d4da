#include "analysis/motion_view.h"

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
        const uchar* current = gray.ptr<uchar>(y);
        const uchar* previous = prevGray.ptr<uchar>(y);
        // Counted per row in 8-bit steps, which the compiler vectorises.
        int row = 0;
        for (int x = 0; x < gray.cols; ++x) {
            row += changeOf(current[x], previous[x]) > kMotionThreshold;
        }
        count += row;
    }
    return count;
}
