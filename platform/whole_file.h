#pragma once

#include <filesystem>
#include <fstream>
#include <span>

namespace platform {

// A file that appears whole or not at all. What is written goes to a temporary file beside the
// final one (same folder, so the rename never copies), which commit() renames over the final
// name once everything reached it. Until then a reader, or a run killed at any moment, sees the
// old file or none; a PendingFile that is destroyed uncommitted removes its temporary file.
class PendingFile {
  public:
    explicit PendingFile(std::filesystem::path path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // False when the temporary file could not be made.
    bool isOpen() const { return stream_.is_open(); }
    std::ostream& stream() { return stream_; }

    // Closes the temporary file and renames it into place; false, with the temporary file
    // removed, when a write or the rename failed.
    bool commit();

  private:
    void discard();

    std::filesystem::path path_;
    std::filesystem::path temporary_;
    std::ofstream stream_;
};

// `bytes` as the whole content of `path`, through a PendingFile; false when it failed.
bool writeWholeFile(const std::filesystem::path& path, std::span<const unsigned char> bytes);

}  // namespace platform
