#pragma once

#include <vector>

#include <X11/Xlib.h>

#include "platform/monitors.h"

namespace platform {

// The monitors in the server's order: RandR 1.5 monitors, else Xinerama heads, else the whole
// root window as one monitor.
std::vector<MonitorRect> listX11Monitors(Display* display);

}  // namespace platform
