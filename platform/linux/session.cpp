#include "platform/linux/session.h"

#include <cstdlib>
#include <string_view>

#include "platform/linux/wayland/display.h"

namespace platform {

Session currentSession() {
    const char* forced = std::getenv("VELMORA_SESSION");
    const std::string_view choice = forced != nullptr ? forced : "";
    if (choice == "x11") {
        return Session::X11;
    }
    if (choice == "wayland") {
        return Session::Wayland;
    }
    // Any other value decides nothing. Without WAYLAND_DISPLAY the library would try
    // "wayland-0", a compositor this session did not name.
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr || *name == '\0') {
        return Session::X11;
    }
    return connectWayland() ? Session::Wayland : Session::X11;
}

}  // namespace platform
