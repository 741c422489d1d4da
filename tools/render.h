#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// velmora-render [--fps VALUE] OUTDIR FRAME...
// Runs every FRAME through the live program's per-frame work and writes the image each window
// would show after the last one as PNG into OUTDIR. Returns the exit status: 0, 1 for a frame
// that cannot be read or an error of the image library, 2 for bad arguments.
int runRender(const std::vector<std::string>& args, std::ostream& err);
