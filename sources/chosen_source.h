#pragma once

#include <iosfwd>
#include <memory>

#include "platform/monitors.h"
#include "sources/capture_device.h"
#include "sources/frame_source.h"
#include "sources/source_request.h"

// The source a request asks for; a request with nothing but its kind is the prompt's answer and
// makes exactly that answer's source. Prints the status line, or an error line and returns null.
std::unique_ptr<FrameSource> makeSource(const SourceRequest& request,
                                        const CaptureOpener& open = openVideoCapture,
                                        platform::MonitorPlatform& os = platform::systemMonitors());

// One line for each source there is: "camera N WIDTHxHEIGHT", "monitor N NAME X,Y WIDTHxHEIGHT",
// "wallpaper PATH".
void listSources(std::ostream& out, const CaptureOpener& open = openVideoCapture,
                 platform::MonitorPlatform& os = platform::systemMonitors());
