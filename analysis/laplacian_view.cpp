#include "analysis/laplacian_view.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The mirrored neighbour index without repeating the edge (4 3 2 1 | 0 1 2 3 4 | 3 2 1 0), as the
// image library's default border has it; a line of one pixel is its own neighbour.
int mirrored(int i, int length) {
    if (length == 1) {
        return 0;
    }
    return i < 0 ? -i : (i >= length ? 2 * (length - 1) - i : i);
}

// One output value from the four diagonal neighbours and the centre: the 3 x 3 kernel with 2 at
// the corners and -8 at the centre, absolute value saturated to 8 bits.
uchar edgeValue(int corners, int centre) {
    return static_cast<uchar>(std::min(std::abs(2 * corners - 8 * centre), 255));
}

void filterRow(const uchar* up, const uchar* mid, const uchar* down, int width, uchar* out) {
    const auto at = [&](int x) {
        const int left = mirrored(x - 1, width);
        const int right = mirrored(x + 1, width);
        return edgeValue(up[left] + up[right] + down[left] + down[right], mid[x]);
    };
    out[0] = at(0);
    // The inner columns, written plainly so that the compiler vectorises them.
    for (int x = 1; x < width - 1; ++x) {
        out[x] = edgeValue(up[x - 1] + up[x + 1] + down[x - 1] + down[x + 1], mid[x]);
    }
    if (width > 1) {
        out[width - 1] = at(width - 1);
    }
}

}  // namespace

cv::Mat makeLaplacianView(const cv::Mat& gray) {
    // The kernel's sums stay within +-2040, so the absolute value is taken straight from them
    // rather than from a 16-bit image of the responses.
    cv::Mat view(gray.size(), CV_8UC1);
    for (int y = 0; y < gray.rows; ++y) {
        filterRow(gray.ptr<uchar>(mirrored(y - 1, gray.rows)), gray.ptr<uchar>(y),
                  gray.ptr<uchar>(mirrored(y + 1, gray.rows)), gray.cols, view.ptr<uchar>(y));
    }
    return view;
}
