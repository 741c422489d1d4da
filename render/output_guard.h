#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "render/render_options.h"

// The files a run of velmora-render would replace that exist already: the stats file, the
// window files in OUTDIR, or with --every-frame those in each of OUTDIR's frame folders. A file
// that does not exist yet cannot be an input.
std::vector<std::filesystem::path> existingOutputs(const RenderOptions& options);

struct Collision {
    std::filesystem::path output;
    std::filesystem::path input;
};

// The first output that is the same file as an input (after resolving links: the same device
// and file number), if any.
std::optional<Collision> findOverwrittenInput(const std::vector<std::filesystem::path>& outputs,
                                              const std::vector<std::filesystem::path>& inputs);
