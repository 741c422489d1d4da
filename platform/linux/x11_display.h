#pragma once

#include <memory>

#include <X11/Xlib.h>

namespace platform {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// A connection to the X server named by DISPLAY; null when none can be reached.
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

inline DisplayConnection openDisplay() {
    return DisplayConnection(XOpenDisplay(nullptr));
}

}  // namespace platform
