#pragma once

#include <X11/Xlib.h>

#include "platform/owner.h"

namespace platform {

// A connection to the X server named by DISPLAY; null when none can be reached.
using DisplayConnection = Owner<Display, XCloseDisplay>;

inline DisplayConnection openDisplay() {
    return DisplayConnection(XOpenDisplay(nullptr));
}

}  // namespace platform
