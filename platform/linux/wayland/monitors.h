#pragma once

#include <string>
#include <vector>

#include "platform/monitors.h"

namespace platform {

// The compositor's outputs in the order it announced them, each at its logical position and size
// in the compositor's layout, with its name (e.g. HEADLESS-2; empty when the compositor gives
// none); empty when no compositor can be reached.
std::vector<Monitor> listWaylandMonitors();

// Without xdg-output the compositor's layout is guessed from wl_output alone: the output's
// position, and its current mode turned by `transform` (a wl_output transform: the odd ones turn
// by a quarter) and divided by its scale.
MonitorRect guessedLogicalArea(std::int32_t x, std::int32_t y, std::int32_t modeWidth,
                               std::int32_t modeHeight, std::int32_t transform, std::int32_t scale);

}  // namespace platform
