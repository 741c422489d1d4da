#pragma once

#include <wayland-client.h>

#include "platform/owner.h"

namespace platform {

// A connection to the compositor named by WAYLAND_DISPLAY; null when none accepts it.
using WlDisplayOwner = Owner<wl_display, wl_display_disconnect>;

inline WlDisplayOwner connectWayland() {
    return WlDisplayOwner(wl_display_connect(nullptr));
}

}  // namespace platform
