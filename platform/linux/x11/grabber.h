#pragma once

#include "platform/monitors.h"

namespace platform {

// How the pixels travel from the server: through one shared-memory segment made at creation,
// or in a fresh reply per grab (remote displays, containers without a shared /dev/shm).
enum class X11Transfer { SharedMemory, Plain };

// A grabber of the root window's area `rect` on its own connection to the server. Shared
// memory is used when asked for and the server can attach the segment; otherwise the plain
// transfer. A server that goes away makes grab() return false instead of ending the process.
GrabberResult openX11Grabber(const MonitorRect& rect,
                             X11Transfer transfer = X11Transfer::SharedMemory);

}  // namespace platform
