#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the command line of velmora-render asks for.
struct RenderOptions {
    std::optional<double> fps;  // fixed frame rate on the histogram windows; measured if unset
    bool everyFrame = false;    // each frame's images in a folder of its own
    bool scopes = false;        // the three scope windows' pictures too
    std::string statsFile;      // CSV of per-frame numbers; "-" is standard output, "" none
    std::filesystem::path outDir;
    std::vector<std::string> inputs;
};

enum class RenderRequest { Render, Help, Version, Usage };

struct ParsedArgs {
    RenderRequest request = RenderRequest::Usage;
    RenderOptions options;
};

// Options come before OUTDIR, in any order; "--" ends them. Anything malformed asks for the usage
// line.
ParsedArgs parseRenderArgs(const std::vector<std::string>& args);

// The usage lines, and what --help prints after them.
extern const std::string_view kRenderUsage;
extern const std::string_view kRenderHelp;
