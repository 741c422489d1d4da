#pragma once

#include <cstdint>
#include <functional>

#include "app/window_layer.h"
#include "sources/frame_source.h"

// Nanoseconds of a monotonic clock.
using MonotonicClock = std::function<std::int64_t()>;
std::int64_t steadyNowNs();

enum class LoopEnd {
    Key,            // q or Esc
    CaptureFailed,  // the source delivered no frame
    Error,          // the image library raised an error inside an iteration
};

// Opens the seven windows and shows every frame of `source` until a quit key, a failed read or
// an error; the windows are destroyed when it returns.
LoopEnd runFrameLoop(FrameSource& source, WindowLayer& windows,
                     const MonotonicClock& now = steadyNowNs);
