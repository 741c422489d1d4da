#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/linux/wayland/monitors.h"
#include "platform/monitors.h"

namespace platform {

// The monitor that covers exactly `area`, when one does. A position alone is not enough: some
// portals give every stream the position 0,0.
std::optional<std::size_t> monitorShowing(const std::vector<WaylandMonitor>& monitors,
                                          const MonitorRect& area);

// A grabber of the monitor that the desktop's screen cast portal picks (the desktop lets no
// program name it), with the index of that monitor in `monitors` when the portal tells the
// stream's area.
GrabberResult openWaylandGrabber(const std::vector<WaylandMonitor>& monitors);

}  // namespace platform
