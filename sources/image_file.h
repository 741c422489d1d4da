#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include <opencv2/core.hpp>

#include "sources/file_bytes.h"

// The largest image decoded: 50 million pixels (150 MB as 8-bit BGR). An 8K wallpaper
// (7680 x 4320, 33.2 million) fits; a file declaring more, such as a small PNG claiming
// 100000 x 100000, is refused from its header before anything is allocated for its pixels.
constexpr std::uint64_t kMaxImagePixels = 50'000'000;

// The largest file read: what the decoder accepts in one buffer.
constexpr std::uintmax_t kMaxImageFileBytes = kMaxFileBytes;

// An image file's pixels as 8-bit BGR, or why it was refused, as error lines name it: a reason
// of fileRefusal or readFileBytes, "not a PNG, JPEG, WebP or BMP image", "image larger than 50
// megapixels" or "incomplete or corrupt image".
struct ImageRead {
    cv::Mat image;
    std::string_view refusal;  // empty when `image` holds the pixels
};

// Reads the whole file and decodes it; directories, FIFOs and devices are refused before they
// are opened.
ImageRead readImageFile(const std::filesystem::path& path);

// readImageFile without the reason: empty when the file is refused.
cv::Mat loadImageFile(const std::filesystem::path& path);

// The decode step of loadImageFile: PNG, JPEG, WebP or BMP bytes whose header declares at most
// `maxPixels` pixels, as 8-bit BGR; empty for anything else.
cv::Mat decodeImageBytes(std::span<const unsigned char> bytes,
                         std::uint64_t maxPixels = kMaxImagePixels);
