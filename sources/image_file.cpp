#include "sources/image_file.h"

#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "sources/image_header.h"

namespace {

// Checked before opening: opening a FIFO would wait for a writer, and a device may never end.
bool isReadableRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return !ec && size <= kMaxImageFileBytes;
}

// Reads up to the end of the file, in chunks and never beyond the size limit, so that a file
// that grew after it was checked is refused rather than read whole.
std::optional<std::vector<unsigned char>> readAll(std::ifstream& file) {
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<unsigned char> bytes;
    while (file) {
        const std::size_t used = bytes.size();
        if (used > kMaxImageFileBytes) {
            return std::nullopt;
        }
        bytes.resize(used + kChunk);
        file.read(reinterpret_cast<char*>(bytes.data() + used), kChunk);
        bytes.resize(used + static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad() || bytes.size() > kMaxImageFileBytes) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

cv::Mat decodeImageBytes(std::span<const unsigned char> bytes, std::uint64_t maxPixels) {
    if (bytes.size() > kMaxImageFileBytes) {
        return {};
    }
    const std::optional<cv::Size> size = imageSizeFromHeader(bytes);
    if (!size || std::uint64_t(size->width) * std::uint64_t(size->height) > maxPixels) {
        return {};
    }
    // A header over the caller's bytes, no copy; the decoder only reads them.
    const cv::Mat buffer(1, static_cast<int>(bytes.size()), CV_8UC1,
                         const_cast<unsigned char*>(bytes.data()));
    try {
        return cv::imdecode(buffer, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return {};  // a decoder that rejects its input by raising counts as no image
    }
}

cv::Mat loadImageFile(const std::filesystem::path& path) {
    if (!isReadableRegularFile(path)) {
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    const std::optional<std::vector<unsigned char>> bytes = readAll(file);
    if (!bytes || bytes->empty()) {
        return {};
    }
    return decodeImageBytes(*bytes);
}
