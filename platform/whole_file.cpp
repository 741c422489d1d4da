#include "platform/whole_file.h"

#include <cstdio>
#include <random>
#include <string>
#include <system_error>

namespace platform {

namespace {

// ".NAME.1a2b3c4d.tmp" beside NAME: hidden on Linux, and told apart from the file it becomes.
// The random part keeps two runs writing into one folder from sharing a temporary file.
std::filesystem::path temporaryFor(const std::filesystem::path& path) {
    static thread_local std::mt19937 draw{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(draw()));
    std::filesystem::path name = ".";
    name += path.filename();
    name += suffix;
    return path.parent_path() / name;
}

}  // namespace

PendingFile::PendingFile(std::filesystem::path path)
    : path_(std::move(path)), temporary_(temporaryFor(path_)) {
    stream_.open(temporary_, std::ios::binary | std::ios::trunc);
}

PendingFile::~PendingFile() {
    if (!temporary_.empty()) {
        discard();
    }
}

bool PendingFile::commit() {
    if (temporary_.empty()) {
        return false;
    }
    stream_.close();
    std::error_code ec;
    if (!stream_.fail()) {
        std::filesystem::rename(temporary_, path_, ec);
    }
    if (stream_.fail() || ec) {
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void PendingFile::discard() {
    if (stream_.is_open()) {
        stream_.close();
    }
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
}

bool writeWholeFile(const std::filesystem::path& path, std::span<const unsigned char> bytes) {
    PendingFile file(path);
    file.stream().write(reinterpret_cast<const char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()));
    return file.isOpen() && file.commit();
}

}  // namespace platform
