#include "sources/file_bytes.h"

#include <fstream>
#include <system_error>

namespace {

bool isRegularFileWithin(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return !ec && size <= maxBytes;
}

}  // namespace

// The size checked first is only a guard: the stream reads to the end of whatever the file
// holds then, in chunks and never beyond the limit, so a file that grew since is refused.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path,
                                         std::uintmax_t maxBytes) {
    if (!isRegularFileWithin(path, maxBytes)) {
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<unsigned char> bytes;
    while (file) {
        const std::size_t used = bytes.size();
        if (used > maxBytes) {
            return {};
        }
        bytes.resize(used + kChunk);
        file.read(reinterpret_cast<char*>(bytes.data() + used), kChunk);
        bytes.resize(used + static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad() || bytes.size() > maxBytes) {
        return {};
    }
    return bytes;
}
