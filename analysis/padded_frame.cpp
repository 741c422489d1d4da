#include "analysis/padded_frame.h"

#include <algorithm>

namespace {

// A few blocks per core, so that a core busy elsewhere does not hold the others up.
constexpr double kRowBlocks = 8;

}  // namespace

void fillPadded(const cv::Mat& gray, cv::Mat& padded) {
    cv::parallel_for_(
        cv::Range(0, padded.rows),
        [&](const cv::Range& rows) {
            const int frameEnd = std::min(rows.end, std::max(rows.start, gray.rows));
            if (rows.start < frameEnd) {
                const cv::Rect frameArea(0, rows.start, gray.cols, frameEnd - rows.start);
                cv::Mat area = padded(frameArea);
                gray(frameArea).convertTo(area, CV_32F);
                padded(cv::Rect(gray.cols, rows.start, padded.cols - gray.cols, frameArea.height))
                    .setTo(0);
            }
            padded.rowRange(frameEnd, rows.end).setTo(0);
        },
        kRowBlocks);
}
