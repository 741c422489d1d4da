#pragma once

#include <string>
#include <vector>

#include "platform/monitors.h"

namespace platform {

struct WaylandMonitor {
    MonitorRect rect;  // logical position and size in the compositor's layout
    std::string name;  // the output's name (e.g. HEADLESS-2), empty when the compositor gives none
};

// The compositor's outputs in the order it announced them; empty when no compositor can be
// reached.
std::vector<WaylandMonitor> listWaylandMonitors();

}  // namespace platform
