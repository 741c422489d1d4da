#include "sources/image_file.h"

#include <optional>
#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "sources/file_bytes.h"
#include "sources/image_header.h"

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
    const std::vector<unsigned char> bytes = readFileBytes(path, kMaxImageFileBytes);
    if (bytes.empty()) {
        return {};
    }
    return decodeImageBytes(bytes);
}
