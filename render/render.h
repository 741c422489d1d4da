#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

struct RenderConsole {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;  // progress is shown only on a terminal
};

// velmora-render [--fps VALUE] [--every-frame] [--stats FILE] OUTDIR INPUT... (see kRenderHelp)
// Runs every frame of the INPUTs through the live program's per-frame work and writes the images
// of its windows as PNG into OUTDIR. Returns the exit status: 0; 1 for an input that cannot be
// read, an output that cannot be written or an error of the image library; 2 for bad arguments.
int runRender(const std::vector<std::string>& args, const RenderConsole& console,
              std::string_view version);
