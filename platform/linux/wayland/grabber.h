#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/linux/wayland/monitors.h"
#include "platform/monitors.h"

namespace platform {

// The monitor that covers exactly `area`, else the one monitor of its size: some portals give
// every stream the position 0,0. None where neither tells.
std::optional<std::size_t> monitorShowing(const std::vector<Monitor>& monitors,
                                          const MonitorRect& area);

// A grabber of the monitor that the desktop's screen cast portal picks (the desktop lets no
// program name it), with the index of that monitor in `monitors` when the portal tells the
// stream's area; refused where `capture` needs another monitor. The portal is asked to remember
// the choice; the token that brings it back is kept in `choiceFile` with the monitor's name, and
// used again unless another monitor is asked for. A region is cut from the stream's frames.
GrabberResult openWaylandGrabber(const std::vector<Monitor>& monitors, const CaptureArea& capture,
                                 const std::filesystem::path& choiceFile);

// Where the portal's remembered choice is kept: $XDG_STATE_HOME/velmora/screencast-choice, with
// ~/.local/state for an unset XDG_STATE_HOME.
std::filesystem::path monitorChoiceFile();

}  // namespace platform
