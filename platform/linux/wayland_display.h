#pragma once

#include <memory>

#include <wayland-client.h>

namespace platform {

struct WaylandDisconnector {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// A connection to the compositor named by WAYLAND_DISPLAY; null when none accepts it.
using WaylandConnection = std::unique_ptr<wl_display, WaylandDisconnector>;

inline WaylandConnection connectWayland() {
    return WaylandConnection(wl_display_connect(nullptr));
}

}  // namespace platform
