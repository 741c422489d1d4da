#include "sources/image_header.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

using Bytes = std::span<const unsigned char>;

std::uint32_t bigEndian16(Bytes b, std::size_t at) {
    return std::uint32_t{b[at]} << 8 | b[at + 1];
}

std::uint32_t bigEndian32(Bytes b, std::size_t at) {
    return bigEndian16(b, at) << 16 | bigEndian16(b, at + 2);
}

std::uint32_t littleEndian16(Bytes b, std::size_t at) {
    return std::uint32_t{b[at + 1]} << 8 | b[at];
}

std::uint32_t littleEndian24(Bytes b, std::size_t at) {
    return std::uint32_t{b[at + 2]} << 16 | littleEndian16(b, at);
}

std::uint32_t littleEndian32(Bytes b, std::size_t at) {
    return littleEndian16(b, at + 2) << 16 | littleEndian16(b, at);
}

bool startsWith(Bytes b, std::initializer_list<unsigned char> prefix) {
    return b.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), b.begin());
}

bool hasTag(Bytes b, std::size_t at, const char (&tag)[5]) {
    return b.size() >= at + 4 && std::equal(tag, tag + 4, b.begin() + static_cast<long>(at));
}

// Sizes beyond what cv::Size holds are refused like any broken header.
std::optional<cv::Size> positiveSize(std::uint64_t width, std::uint64_t height) {
    constexpr std::uint64_t kMaxSide = 0x7FFFFFFF;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return std::nullopt;
    }
    return cv::Size(static_cast<int>(width), static_cast<int>(height));
}

// Chunks: length, type, data, CRC. IHDR comes first; the chunk walk must end at IEND.
std::optional<cv::Size> pngSize(Bytes b) {
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kChunkOverhead = 12;
    if (b.size() < kSignature + kChunkOverhead + 13 || !hasTag(b, kSignature + 4, "IHDR") ||
        bigEndian32(b, kSignature) != 13) {
        return std::nullopt;
    }
    const std::optional<cv::Size> size =
        positiveSize(bigEndian32(b, kSignature + 8), bigEndian32(b, kSignature + 12));
    std::size_t at = kSignature;
    while (size && b.size() - at >= kChunkOverhead) {
        const std::uint64_t length = bigEndian32(b, at);
        if (length > b.size() - at - kChunkOverhead) {
            return std::nullopt;
        }
        if (hasTag(b, at + 4, "IEND")) {
            return size;
        }
        at += kChunkOverhead + static_cast<std::size_t>(length);
    }
    return std::nullopt;
}

bool isStartOfFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool hasEndOfImage(Bytes b, std::size_t from) {
    for (std::size_t i = from; i + 1 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xD9) {
            return true;
        }
    }
    return false;
}

// Marker segments up to the first scan (the size is in the start-of-frame segment), then the
// entropy-coded data, which must be closed by an end-of-image marker.
std::optional<cv::Size> jpegSize(Bytes b) {
    std::optional<cv::Size> size;
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) {
            return std::nullopt;
        }
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;  // markers without a length
            continue;
        }
        const std::size_t length = bigEndian16(b, at + 2);
        if (length < 2 || at + 2 + length > b.size()) {
            return std::nullopt;
        }
        if (isStartOfFrame(marker) && length >= 7) {
            size = positiveSize(bigEndian16(b, at + 7), bigEndian16(b, at + 5));
        }
        if (marker == 0xDA) {
            return size && hasEndOfImage(b, at + 2 + length) ? size : std::nullopt;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// RIFF container with one of the three bitstream chunks first.
std::optional<cv::Size> webpSize(Bytes b) {
    constexpr std::size_t kChunk = 12;
    constexpr std::size_t kData = kChunk + 8;
    if (b.size() < kData + 10) {
        return std::nullopt;
    }
    if (hasTag(b, kChunk, "VP8 ") && startsWith(b.subspan(kData + 3), {0x9D, 0x01, 0x2A})) {
        return positiveSize(littleEndian16(b, kData + 6) & 0x3FFF,
                            littleEndian16(b, kData + 8) & 0x3FFF);
    }
    if (hasTag(b, kChunk, "VP8L") && b[kData] == 0x2F) {
        const std::uint32_t bits = littleEndian32(b, kData + 1);
        return positiveSize((bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1);
    }
    if (hasTag(b, kChunk, "VP8X")) {
        return positiveSize(std::uint64_t{littleEndian24(b, kData + 4)} + 1,
                            std::uint64_t{littleEndian24(b, kData + 7)} + 1);
    }
    return std::nullopt;
}

// File header, then the bitmap header: 16-bit sizes in the oldest one, signed 32-bit sizes
// (negative height: rows stored top-down) in all later ones.
std::optional<cv::Size> bmpSize(Bytes b) {
    constexpr std::size_t kInfo = 14;
    if (b.size() < kInfo + 12) {
        return std::nullopt;
    }
    if (littleEndian32(b, kInfo) == 12) {
        return positiveSize(littleEndian16(b, kInfo + 4), littleEndian16(b, kInfo + 6));
    }
    if (b.size() < kInfo + 16) {
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(littleEndian32(b, kInfo + 4));
    const auto height = static_cast<std::int32_t>(littleEndian32(b, kInfo + 8));
    if (width <= 0) {
        return std::nullopt;
    }
    return positiveSize(static_cast<std::uint64_t>(width),
                        static_cast<std::uint64_t>(std::abs(std::int64_t{height})));
}

}  // namespace

ImageFormat imageFormatOf(Bytes bytes) {
    if (startsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) {
        return ImageFormat::Png;
    }
    if (startsWith(bytes, {0xFF, 0xD8, 0xFF})) {
        return ImageFormat::Jpeg;
    }
    if (hasTag(bytes, 0, "RIFF") && hasTag(bytes, 8, "WEBP")) {
        return ImageFormat::Webp;
    }
    if (startsWith(bytes, {'B', 'M'})) {
        return ImageFormat::Bmp;
    }
    return ImageFormat::Other;
}

std::optional<cv::Size> imageSizeFromHeader(Bytes bytes) {
    switch (imageFormatOf(bytes)) {
        case ImageFormat::Png:
            return pngSize(bytes);
        case ImageFormat::Jpeg:
            return jpegSize(bytes);
        case ImageFormat::Webp:
            return webpSize(bytes);
        case ImageFormat::Bmp:
            return bmpSize(bytes);
        case ImageFormat::Other:
            break;
    }
    return std::nullopt;
}
