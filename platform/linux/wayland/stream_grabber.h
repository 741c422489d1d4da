#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "platform/linux/wayland/video_stream.h"
#include "platform/monitors.h"

namespace platform {

// The rows of `frame` as blue, green, red, unused bytes, width × 4 bytes a row without padding.
// False, and `out` unchanged, when the frame's memory is too short for its rows.
bool convertToBgrx(const StreamFrame& frame, std::vector<unsigned char>& out);

// A grabber that hands out the newest frame of `stream` on each grab, and the last one again
// when nothing new came, so that a live loop never waits for a still screen. At start it waits
// up to `firstFrameWait` for the first frame.
GrabberResult openStreamGrabber(std::unique_ptr<VideoStream> stream,
                                std::chrono::milliseconds firstFrameWait);

}  // namespace platform
