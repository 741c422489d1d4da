#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Where blue, green and red lie among the four bytes of a stream's 32-bit pixels; the fourth
// byte is unused.
struct ColourBytes {
    int blue = 0;
    int green = 1;
    int red = 2;

    bool operator==(const ColourBytes&) const = default;
};

// The colour bytes of a pixel order spelled in memory order, as PipeWire names its formats:
// "xRGB" has red in byte 1.
constexpr ColourBytes colourBytes(std::string_view order) {
    return {static_cast<int>(order.find('B')), static_cast<int>(order.find('G')),
            static_cast<int>(order.find('R'))};
}

// One frame as a stream delivered it, readable until it is given back.
struct StreamFrame {
    const unsigned char* data = nullptr;
    std::size_t stride = 0;
    std::size_t bytes = 0;  // readable from data on
    ColourBytes colours;
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
