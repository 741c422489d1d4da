#include "sources/file_bytes.h"

#include <fstream>
#include <system_error>

namespace {

constexpr std::string_view kTooLarge = "larger than 2 GiB";

// Reads to the end of whatever the file holds now, in chunks and never beyond the limit, so a
// file that grew since its size was checked is refused.
std::string_view readChunks(std::ifstream& file, std::vector<unsigned char>& bytes) {
    constexpr std::size_t kChunk = 1 << 20;
    while (file) {
        const std::size_t used = bytes.size();
        if (used > kMaxFileBytes) {
            return kTooLarge;
        }
        bytes.resize(used + kChunk);
        file.read(reinterpret_cast<char*>(bytes.data() + used), kChunk);
        bytes.resize(used + static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) {
        return "read error";
    }
    return bytes.size() > kMaxFileBytes ? kTooLarge : std::string_view();
}

}  // namespace

std::string_view fileRefusal(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        return "no such file";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "not a regular file";
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        return "no such file";  // removed since its status was read
    }
    return size > kMaxFileBytes ? kTooLarge : std::string_view();
}

std::vector<unsigned char> readFileBytes(const std::filesystem::path& path,
                                         std::string_view* refusal) {
    std::string_view reason = fileRefusal(path);
    std::vector<unsigned char> bytes;
    if (reason.empty()) {
        std::ifstream file(path, std::ios::binary);
        reason = file ? readChunks(file, bytes) : "cannot be opened";
    }
    if (refusal) {
        *refusal = reason;
    }
    if (!reason.empty()) {
        bytes.clear();
    }
    return bytes;
}
