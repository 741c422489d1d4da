#pragma once

#include <functional>
#include <iosfwd>
#include <memory>

#include "app/frame_loop.h"
#include "sources/frame_source.h"

using SourceFactory = std::function<std::unique_ptr<FrameSource>()>;

struct SourceFactories {
    SourceFactory camera;
    SourceFactory monitor;
};

// The program after the process has been prepared: the prompt, the source, the frame loop.
// Returns the exit status: 0 after a run, 1 when no source was chosen or made, or when an
// iteration failed.
int runVelmora(std::istream& in, std::ostream& out, const SourceFactories& factories,
               WindowLayer& windows, const MonotonicClock& now = steadyNowNs);
