// Bytes of an image file through the decode step of loadImageFile and, when they decode, one
// whole frame iteration.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/frame_work.h"
#include "fuzz/reading_sink.h"
#include "sources/image_file.h"

namespace {

// Keeps every run small enough to be quick; the production limit is the same check with a
// larger number.
constexpr std::uint64_t kFuzzMaxPixels = 4'000'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FrameImages images;
    images.frame = decodeImageBytes(std::span<const unsigned char>(data, size), kFuzzMaxPixels);
    if (images.frame.empty()) {
        return 0;
    }
    ReadingSink sink;
    processFrame(images, 30.0, sink);
    return 0;
}
