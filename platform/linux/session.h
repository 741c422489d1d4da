#pragma once

namespace platform {

enum class Session { X11, Wayland };

// The desktop session the monitor sources talk to: VELMORA_SESSION=x11 or =wayland decides when
// set; otherwise Wayland when WAYLAND_DISPLAY names a compositor that accepts a connection, else
// X11.
Session currentSession();

}  // namespace platform
