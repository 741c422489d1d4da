#include "analysis/frame_measures.h"

#include <algorithm>
#include <vector>

#include <opencv2/core.hpp>

#include "analysis/wide_vectors.h"

namespace {

// The mirrored neighbour index without repeating the edge; a line of one pixel is its own
// neighbour.
int mirrored(int i, int length) {
    if (length == 1) {
        return 0;
    }
    return i < 0 ? -i : (i >= length ? 2 * (length - 1) - i : i);
}

struct Sums {
    std::int64_t sum = 0;
    std::int64_t squares = 0;
};

// The Laplacian's values of one row are whole numbers within +-1020, so their sums are exact.
VELMORA_WIDE_VECTORS void addRow(const uchar* up, const uchar* mid, const uchar* down, int width,
                                 Sums& sums) {
    const auto at = [&](int x) {
        return int(up[x]) + down[x] + mid[mirrored(x - 1, width)] + mid[mirrored(x + 1, width)] -
               4 * mid[x];
    };
    const auto add = [&](int value) {
        sums.sum += value;
        sums.squares += std::int64_t(value) * value;
    };
    add(at(0));
    // The inner columns, written plainly so that the compiler vectorises them, in stretches
    // whose sums of squares (each at most 1020 squared) fit 32 bits.
    constexpr int kStretch = 4096;
    for (int start = 1; start < width - 1; start += kStretch) {
        const int end = std::min(start + kStretch, width - 1);
        std::int32_t sum = 0;
        std::uint32_t squares = 0;
        for (int x = start; x < end; ++x) {
            const int value = up[x] + down[x] + mid[x - 1] + mid[x + 1] - 4 * mid[x];
            sum += value;
            squares += std::uint32_t(value * value);
        }
        sums.sum += sum;
        sums.squares += squares;
    }
    if (width > 1) {
        add(at(width - 1));
    }
}

}  // namespace

double laplacianVariance(const cv::Mat& gray) {
    if (gray.type() != CV_8UC1 || gray.empty()) {
        return 0.0;
    }
    Sums sums;
    for (int y = 0; y < gray.rows; ++y) {
        addRow(gray.ptr<uchar>(mirrored(y - 1, gray.rows)), gray.ptr<uchar>(y),
               gray.ptr<uchar>(mirrored(y + 1, gray.rows)), gray.cols, sums);
    }
    const double count = double(gray.total());
    const double mean = double(sums.sum) / count;
    return double(sums.squares) / count - mean * mean;
}

namespace {

// Adds the pixels of one row with a channel at 0 and at 255. Each byte position looks at itself
// and the next two; only the first byte of a pixel counts, so that a plain pass over the row's
// bytes, which the compiler vectorises, counts pixels. The sums are byte-wide over stretches too
// short to overflow, so that no lane is widened.
VELMORA_WIDE_VECTORS void addClippedRow(const uchar* p, int bytes, const uchar* firstOfPixel,
                                        ClippedPixels& clipped) {
    for (int start = 0; start + 2 < bytes; start += 255) {
        const int end = std::min(start + 255, bytes - 2);
        uchar low = 0;
        uchar high = 0;
        for (int i = start; i < end; ++i) {
            low += ((p[i] == 0) | (p[i + 1] == 0) | (p[i + 2] == 0)) & firstOfPixel[i];
            high += ((p[i] == 255) | (p[i + 1] == 255) | (p[i + 2] == 255)) & firstOfPixel[i];
        }
        clipped.low += low;
        clipped.high += high;
    }
}

// Whether a row holds a byte at 0 or 255: most rows of most frames hold none, so one quick look,
// in bytes so that no lane is widened, saves counting them.
VELMORA_WIDE_VECTORS bool holdsEnds(const uchar* p, int bytes) {
    uchar ends = 0;
    for (int i = 0; i < bytes; ++i) {
        ends |= uchar(uchar(p[i] + 1) <= 1);
    }
    return ends != 0;
}

}  // namespace

ClippedPixels countClipped(const cv::Mat& bgr) {
    ClippedPixels clipped;
    if (bgr.type() != CV_8UC3) {
        return clipped;
    }
    const int bytes = bgr.cols * 3;
    std::vector<uchar> firstOfPixel(static_cast<std::size_t>(bytes));
    for (int i = 0; i < bytes; i += 3) {
        firstOfPixel[static_cast<std::size_t>(i)] = 1;
    }
    for (int y = 0; y < bgr.rows; ++y) {
        const uchar* p = bgr.ptr<uchar>(y);
        if (holdsEnds(p, bytes)) {
            addClippedRow(p, bytes, firstOfPixel.data(), clipped);
        }
    }
    return clipped;
}
