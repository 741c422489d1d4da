// Two frames of arbitrary sizes and pixels through two iterations, so that the second one
// meets the first one's images (the motion view's previous frame among them) at another size.
//
// Input: four 16-bit sizes (width and height of each frame), then the pixels, repeated as
// needed. A size's three top bits pick its range: 1 to 4096 when all are set, 1 to 64 otherwise,
// so that most runs are quick and the odd sizes of a few pixels are tried densely. A frame of
// more than kMaxArea pixels has its height cut to fit: large frames cost a second each.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/frame_work.h"
#include "fuzz/reading_sink.h"

namespace {

constexpr std::size_t kHeader = 8;
constexpr int kMaxArea = 1 << 20;

int sideFrom(const std::uint8_t* bytes) {
    const unsigned value = unsigned{bytes[0]} << 8 | bytes[1];
    const unsigned range = (value & 0xE000) == 0xE000 ? 4096 : 64;
    return static_cast<int>(1 + value % range);
}

cv::Size sizeFrom(const std::uint8_t* bytes) {
    const int width = sideFrom(bytes);
    return {width, std::min(sideFrom(bytes + 2), kMaxArea / width)};
}

cv::Mat frameOf(cv::Size size, const std::uint8_t* pixels, std::size_t count) {
    cv::Mat frame(size, CV_8UC3, cv::Scalar::all(0));
    const std::size_t total = frame.total() * frame.elemSize();
    for (std::size_t done = 0; count > 0 && done < total; done += count) {
        std::memcpy(frame.data + done, pixels, std::min(count, total - done));
    }
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) {
        return 0;
    }
    const cv::Size first = sizeFrom(data);
    const cv::Size second = sizeFrom(data + 4);
    FrameImages images;
    ReadingSink sink;
    images.frame = frameOf(first, data + kHeader, size - kHeader);
    processFrame(images, 0.0, sink);
    images.frame = frameOf(second, data + kHeader, size - kHeader);
    processFrame(images, 12.5, sink);
    return 0;
}
