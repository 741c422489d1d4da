// Two frames of arbitrary sizes and pixels through two iterations, so that the second one
// meets the first one's images (the motion view's previous frame among them) at another size.
//
// Input: four 16-bit sizes (width and height of each frame), then the pixels, repeated as
// needed. A size's top bit picks its range: 1 to 64 when clear, 1 to 4096 when set.
#include <cstddef>
#include <cstdint>

#include "app/frame_work.h"
#include "fuzz/reading_sink.h"

namespace {

constexpr std::size_t kHeader = 8;

int sideFrom(const std::uint8_t* bytes) {
    const unsigned value = unsigned{bytes[0]} << 8 | bytes[1];
    const unsigned range = (value & 0x8000) != 0 ? 4096 : 64;
    return static_cast<int>(1 + value % range);
}

cv::Mat frameOf(cv::Size size, const std::uint8_t* pixels, std::size_t count) {
    cv::Mat frame(size, CV_8UC3, cv::Scalar::all(0));
    if (count == 0) {
        return frame;
    }
    std::size_t next = 0;
    for (auto it = frame.begin<cv::Vec3b>(); it != frame.end<cv::Vec3b>(); ++it) {
        for (int c = 0; c < 3; ++c) {
            (*it)[c] = pixels[next];
            next = next + 1 == count ? 0 : next + 1;
        }
    }
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) {
        return 0;
    }
    const cv::Size first(sideFrom(data), sideFrom(data + 2));
    const cv::Size second(sideFrom(data + 4), sideFrom(data + 6));
    FrameImages images;
    ReadingSink sink;
    images.frame = frameOf(first, data + kHeader, size - kHeader);
    processFrame(images, 0.0, sink);
    images.frame = frameOf(second, data + kHeader, size - kHeader);
    processFrame(images, 12.5, sink);
    return 0;
}
