#include "analysis/centred_spectrum.h"

#include <algorithm>
#include <cmath>

namespace {

// Log magnitudes closer together than this are one value told apart by rounding only: in single
// precision the flat spectrum of one bright point on black spreads by about 1e-5 at 4K, a real
// scene's by several units.
constexpr double kFlatSpread = 1e-3;

// Rows are independent: the image library spreads blocks of them over its threads, a few blocks
// per core so that a core busy elsewhere does not hold the others up.
constexpr double kRowBlocks = 16;

// 1 + |z| for `count` complex values, written plainly so that the compiler vectorises it (the
// build lets std::sqrt leave errno alone, which the vectorised square root cannot set).
void onePlusMagnitude(const float* complex, int count, float* out) {
    for (int i = 0; i < count; ++i) {
        const float re = complex[2 * i];
        const float im = complex[2 * i + 1];
        out[i] = std::sqrt(re * re + im * im) + 1.0f;
    }
}

void widen(LogRange& range, const cv::Mat& values) {
    if (values.empty()) {
        return;
    }
    double low = 0.0;
    double high = 0.0;
    cv::minMaxLoc(values, &low, &high);
    range.low = std::min(range.low, static_cast<float>(low));
    range.high = std::max(range.high, static_cast<float>(high));
}

}  // namespace

LogRange logMagnitude(const cv::Mat& half, cv::Size padded, cv::Mat& logHalf) {
    logHalf.create(half.size(), CV_32F);
    const int halfCols = half.cols;
    cv::parallel_for_(
        cv::Range(0, half.rows),
        [&](const cv::Range& rows) {
            for (int u = rows.start; u < rows.end; ++u) {
                float* row = logHalf.ptr<float>(u);
                onePlusMagnitude(half.ptr<float>(u), halfCols, row);
                cv::Mat values(1, halfCols, CV_32F, row);
                cv::log(values, values);
            }
        },
        kRowBlocks);

    // Every kept row is read whole. When the padded height is odd, its last row is cropped but
    // its mirror image still shows in the right half of the second row.
    const int evenRows = padded.height & -2;
    const int evenCols = padded.width & -2;
    LogRange range{logHalf.at<float>(0, 0), logHalf.at<float>(0, 0)};
    widen(range, logHalf.rowRange(0, evenRows));
    if (evenRows != padded.height) {
        const int first = padded.width - evenCols + 1;
        const int last = padded.width - evenCols / 2 - 1;
        if (first <= last) {
            widen(range, logHalf.row(padded.height - 1).colRange(first, last + 1));
        }
    }
    return range;
}

cv::Mat centredPicture(const cv::Mat& logHalf, cv::Size padded, LogRange range) {
    const int evenRows = padded.height & -2;
    const int evenCols = padded.width & -2;
    const int cy = evenRows / 2;
    const int cx = evenCols / 2;
    // A spectrum flat to within the transform's rounding (a single bright point, say) shows
    // black, as an exactly flat one does; stretched, its rounding noise would fill the picture.
    const double spread = static_cast<double>(range.high) - range.low;
    const double scale = 255.0 * (spread > kFlatSpread ? 1.0 / spread : 0.0);
    const double shift = -range.low * scale;

    cv::Mat picture(evenRows, evenCols, CV_8UC1);
    const auto writeRows = [&](const cv::Range& rows) {
        cv::Mat rowBuffer(1, evenCols, CV_32F);
        float* line = rowBuffer.ptr<float>();
        for (int r = rows.start; r < rows.end; ++r) {
            // Output row r shows spectrum row u; the columns right of the middle come from the
            // conjugate at row -u, column -v.
            const int u = r < cy ? r + cy : r - cy;
            const int mirrored = (padded.height - u) % padded.height;
            const float* direct = logHalf.ptr<float>(u);
            const float* mirror = logHalf.ptr<float>(mirrored);
            line[0] = direct[cx];
            for (int c = 1; c < evenCols - cx; ++c) {
                line[c] = mirror[padded.width - cx - c];
            }
            std::copy(direct, direct + cx, line + cx);
            cv::Mat out = picture.row(r);
            rowBuffer.convertTo(out, CV_8U, scale, shift);
        }
    };
    cv::parallel_for_(cv::Range(0, evenRows), writeRows, kRowBlocks);
    return picture;
}
