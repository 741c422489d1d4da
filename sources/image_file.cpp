#include "sources/image_file.h"

#include <optional>
#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "sources/image_header.h"

namespace {

ImageRead decode(std::span<const unsigned char> bytes, std::uint64_t maxPixels) {
    if (imageFormatOf(bytes) == ImageFormat::Other) {
        return {{}, "not a PNG, JPEG, WebP or BMP image"};
    }
    const std::optional<cv::Size> size = imageSizeFromHeader(bytes);
    if (!size || bytes.size() > kMaxImageFileBytes) {
        return {{}, "incomplete or corrupt image"};
    }
    if (std::uint64_t(size->width) * std::uint64_t(size->height) > maxPixels) {
        return {{}, "image larger than 50 megapixels"};
    }
    // A header over the caller's bytes, no copy; the decoder only reads them.
    const cv::Mat buffer(1, static_cast<int>(bytes.size()), CV_8UC1,
                         const_cast<unsigned char*>(bytes.data()));
    ImageRead read{{}, "incomplete or corrupt image"};
    try {
        read.image = cv::imdecode(buffer, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        // a decoder that rejects its input by raising counts as no image
    }
    if (!read.image.empty()) {
        read.refusal = {};
    }
    return read;
}

}  // namespace

ImageRead readImageFile(const std::filesystem::path& path) {
    std::string_view refusal;
    const std::vector<unsigned char> bytes = readFileBytes(path, &refusal);
    if (!refusal.empty()) {
        return {{}, refusal};
    }
    return decode(bytes, kMaxImagePixels);
}

cv::Mat loadImageFile(const std::filesystem::path& path) {
    return readImageFile(path).image;
}

cv::Mat decodeImageBytes(std::span<const unsigned char> bytes, std::uint64_t maxPixels) {
    return decode(bytes, maxPixels).image;
}
