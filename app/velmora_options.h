#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/source_request.h"

// What the command line of velmora asks for. With no arguments: the prompt, and everything as
// it always was.
struct VelmoraOptions {
    std::optional<SourceRequest> source;  // none: ask on the console
    bool list = false;                    // list the sources and end
    bool tile = false;                    // lay the windows out in a grid
    bool scopes = false;                  // open the three scope windows too
    bool forgetMonitor = false;           // make the screen cast portal ask again (Wayland)
    std::filesystem::path snapshots;      // where snapshots go; empty: the pictures folder's
};

enum class VelmoraRequest { Run, Help, Version, Usage };

struct ParsedVelmoraArgs {
    VelmoraRequest request = VelmoraRequest::Usage;
    VelmoraOptions options;
};

// Anything malformed, unknown or contradictory asks for the usage line.
ParsedVelmoraArgs parseVelmoraArgs(const std::vector<std::string>& args);

// The usage lines, and what --help prints after them.
extern const std::string_view kVelmoraUsage;
extern const std::string_view kVelmoraHelp;
