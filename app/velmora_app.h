#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <vector>

#include "app/frame_loop.h"
#include "app/velmora_options.h"
#include "sources/frame_source.h"
#include "sources/source_request.h"

// What the program reaches beyond its windows: the console, the sources and the monitors. The
// real ones in the program, modelled ones in tests.
struct VelmoraSystem {
    std::istream& in;
    std::ostream& out;
    // The prompt's answers are the requests with nothing but their kind.
    std::function<std::unique_ptr<FrameSource>(const SourceRequest&)> makeSource;
    std::function<void(std::ostream&)> listSources;
    std::function<std::vector<cv::Rect>()> monitors;  // for --tile
    std::function<void()> forgetMonitorChoice;
    LocalClock localTime = localNow;
};

// The program after the process has been prepared: the prompt or the command line's choice, the
// source, the frame loop. Returns the exit status: 0 after a run or a listing, 1 when no source
// was chosen or made, or when an iteration failed.
int runVelmora(const VelmoraOptions& options, const VelmoraSystem& system, WindowLayer& windows,
               const MonotonicClock& now = steadyNowNs);
