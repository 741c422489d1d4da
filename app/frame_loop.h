#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/window_layer.h"
#include "sources/frame_source.h"

// Nanoseconds of a monotonic clock.
using MonotonicClock = std::function<std::int64_t()>;
std::int64_t steadyNowNs();

// The local time of day, which names a snapshot's folder.
using LocalClock = std::function<std::tm()>;
std::tm localNow();

enum class LoopEnd {
    Key,            // q or Esc
    CaptureFailed,  // the source delivered no frame
    Error,          // the image library raised an error inside an iteration
};

// Sizes (and may place) the windows of `titles` from the first frame's size: once at the first
// frame, and again when the scope windows come and go.
using WindowPlacement = std::function<void(WindowLayer& windows,
                                           const std::vector<std::string>& titles, cv::Size frame)>;

// Every window at the first frame's size, halved at the display limits; where they go is left
// to the desktop.
void sizeWindows(WindowLayer& windows, const std::vector<std::string>& titles, cv::Size frame);

struct LoopSettings {
    WindowPlacement place = sizeWindows;
    std::filesystem::path snapshots;  // where the key s saves what the windows show
    LocalClock localTime = localNow;
    bool scopes = false;  // the scope windows from the start; the key w opens and closes them
};

// Opens the seven windows and shows every frame of `source` until a quit key, a failed read or
// an error; the windows are destroyed when it returns. Space freezes the windows on the frame
// they show (the source is still read, its frames dropped) and frees them again; s saves a
// snapshot of what they show; w opens or closes the three scope windows.
LoopEnd runFrameLoop(FrameSource& source, WindowLayer& windows,
                     const MonotonicClock& now = steadyNowNs, const LoopSettings& settings = {});
