#pragma once

#include <vector>

#include <X11/Xlib.h>

#include "platform/monitors.h"

namespace platform {

// The monitors in the server's order: RandR 1.5 monitors with their names, else Xinerama heads
// (named screen-0, screen-1, ...), else the whole root window as one monitor named screen.
std::vector<Monitor> listX11Monitors(Display* display);

}  // namespace platform
