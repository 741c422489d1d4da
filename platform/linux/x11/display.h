#pragma once

#include <X11/Xlib.h>

#include "platform/owner.h"

namespace platform {

// A connection to the X server named by DISPLAY; null when none can be reached.
using XDisplayOwner = Owner<Display, XCloseDisplay>;

inline XDisplayOwner openDisplay() {
    return XDisplayOwner(XOpenDisplay(nullptr));
}

}  // namespace platform
