#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The bytes of a stream's 32-bit pixels in memory order; x is unused.
enum class PixelOrder { BGRx, BGRA, RGBx, RGBA, xRGB, ARGB, xBGR, ABGR };

// One frame as a stream delivered it, readable until it is given back.
struct StreamFrame {
    const unsigned char* data = nullptr;
    std::size_t stride = 0;
    std::size_t bytes = 0;  // readable from data on
    PixelOrder order = PixelOrder::BGRx;
    std::int32_t width = 0;
    std::int32_t height = 0;
    void* buffer = nullptr;  // the stream's own buffer behind the frame
};

// A video stream that delivers a frame only when its picture changes. Its connections are
// served on the program's thread, inside serve().
class VideoStream {
  public:
    virtual ~VideoStream() = default;
    // Serves the connections for up to `timeout`, returning early once a frame has come; false
    // once the stream or the session behind it has ended.
    virtual bool serve(std::chrono::milliseconds timeout) = 0;
    // The oldest frame that came and was not taken yet; false when none is waiting. The stream
    // has only a few buffers: every frame taken must be given back soon.
    virtual bool take(StreamFrame& frame) = 0;
    virtual void giveBack(const StreamFrame& frame) = 0;
    // Why the stream ended, once serve() has said so.
    virtual std::string endReason() const = 0;
};

}  // namespace platform
