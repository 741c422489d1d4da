#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include <opencv2/core.hpp>

#include "sources/file_bytes.h"

// The largest image decoded: 50 million pixels (150 MB as 8-bit BGR). An 8K wallpaper
// (7680 x 4320, 33.2 million) fits; a file declaring more, such as a small PNG claiming
// 100000 x 100000, is refused from its header before anything is allocated for its pixels.
constexpr std::uint64_t kMaxImagePixels = 50'000'000;

// The largest file read: what the decoder accepts in one buffer.
constexpr std::uintmax_t kMaxImageFileBytes = kMaxFileBytes;

// Reads the whole file and decodes it as 8-bit BGR. Empty when the path is no regular file
// (directories, FIFOs and devices are refused before they are opened), the file cannot be
// opened, is empty, is larger than kMaxImageFileBytes, or does not decode.
cv::Mat loadImageFile(const std::filesystem::path& path);

// The decode step of loadImageFile: PNG, JPEG, WebP or BMP bytes whose header declares at most
// `maxPixels` pixels, as 8-bit BGR; empty for anything else.
cv::Mat decodeImageBytes(std::span<const unsigned char> bytes,
                         std::uint64_t maxPixels = kMaxImagePixels);
