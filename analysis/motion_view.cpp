#include "analysis/motion_view.h"

#include <cstdlib>

#include <opencv2/core/hal/intrin.hpp>

namespace {

constexpr int kMotionThreshold = 25;

// Marks the changed pixels of one row and then takes the row over as the previous one, in one
// pass over both.
void compareRow(const uchar* current, uchar* previous, int width, uchar* out) {
    int x = 0;
#if CV_SIMD
    const cv::v_uint8 threshold = cv::vx_setall_u8(kMotionThreshold);
    for (; x + cv::v_uint8::nlanes <= width; x += cv::v_uint8::nlanes) {
        const cv::v_uint8 now = cv::vx_load(current + x);
        const cv::v_uint8 before = cv::vx_load(previous + x);
        // The comparison gives all ones (255) where true.
        cv::v_store(out + x, cv::v_absdiff(now, before) > threshold);
        cv::v_store(previous + x, now);
    }
#endif
    for (; x < width; ++x) {
        const int change = std::abs(current[x] - previous[x]);
        out[x] = change > kMotionThreshold ? 255 : 0;
        previous[x] = current[x];
    }
}

}  // namespace

cv::Mat makeMotionView(const cv::Mat& gray, cv::Mat& prevGray) {
    // A previous frame of another type cannot come from the loop; it is replaced like one of
    // another size rather than read as 8-bit pixels.
    if (prevGray.empty() || prevGray.size() != gray.size() || prevGray.type() != gray.type()) {
        gray.copyTo(prevGray);
        return cv::Mat::zeros(gray.size(), CV_8UC1);
    }
    cv::Mat mask(gray.size(), CV_8UC1);
    for (int y = 0; y < gray.rows; ++y) {
        compareRow(gray.ptr<uchar>(y), prevGray.ptr<uchar>(y), gray.cols, mask.ptr<uchar>(y));
    }
    return mask;
}
