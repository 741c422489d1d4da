#include "render/output_guard.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <system_error>
#include <utility>

#include "app/window_titles.h"

namespace {

namespace fs = std::filesystem;

// Frame folders are numbered with at least six digits.
bool isFrameFolder(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    std::error_code ec;
    return name.size() >= 6 &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); }) &&
           entry.is_directory(ec);
}

void addExisting(const fs::path& dir, bool scopes, std::vector<fs::path>& outputs) {
    std::vector<std::string> names(kWindowFileNames.begin(), kWindowFileNames.end());
    if (scopes) {
        names.insert(names.end(), kScopeFileNames.begin(), kScopeFileNames.end());
    }
    for (const std::string& name : names) {
        std::error_code ec;
        if (fs::exists(dir / name, ec)) {
            outputs.push_back(dir / name);
        }
    }
}

// Size and modification time, the same for every name of one file: only names that share them
// are compared as files, so that a long sequence against many frame folders stays quick.
using Fingerprint = std::pair<std::uintmax_t, fs::file_time_type::rep>;

std::optional<Fingerprint> fingerprint(const fs::path& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    const fs::file_time_type time = ec ? fs::file_time_type() : fs::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return Fingerprint{size, time.time_since_epoch().count()};
}

}  // namespace

std::vector<fs::path> existingOutputs(const RenderOptions& options) {
    std::vector<fs::path> outputs;
    std::error_code ec;
    if (!options.statsFile.empty() && options.statsFile != "-" &&
        fs::exists(options.statsFile, ec)) {
        outputs.emplace_back(options.statsFile);
    }
    if (!options.everyFrame) {
        addExisting(options.outDir, options.scopes, outputs);
        return outputs;
    }
    for (fs::directory_iterator it(options.outDir, ec), end; !ec && it != end; it.increment(ec)) {
        if (isFrameFolder(*it)) {
            addExisting(it->path(), options.scopes, outputs);
        }
    }
    return outputs;
}

std::optional<Collision> findOverwrittenInput(const std::vector<fs::path>& outputs,
                                              const std::vector<fs::path>& inputs) {
    std::multimap<Fingerprint, const fs::path*> byFingerprint;
    for (const fs::path& input : inputs) {
        if (const auto print = fingerprint(input)) {
            byFingerprint.emplace(*print, &input);
        }
    }
    for (const fs::path& output : outputs) {
        const auto print = fingerprint(output);
        if (!print) {
            continue;
        }
        const auto [first, last] = byFingerprint.equal_range(*print);
        for (auto it = first; it != last; ++it) {
            std::error_code ec;
            if (fs::equivalent(output, *it->second, ec)) {
                return Collision{output, *it->second};
            }
        }
    }
    return std::nullopt;
}
