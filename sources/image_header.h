#pragma once

#include <optional>
#include <span>

#include <opencv2/core.hpp>

enum class ImageFormat { Png, Jpeg, Webp, Bmp, Other };

// The format the bytes begin like, by its signature alone; whatever follows may still be broken.
ImageFormat imageFormatOf(std::span<const unsigned char> bytes);

// The pixel size an image file declares, read from its header without decoding it, for the
// formats a wallpaper or a rendered frame comes in: PNG, JPEG, WebP and BMP. Empty for any other
// format and for a file whose structure is broken: a PNG must reach its IEND chunk and a JPEG
// must reach its end-of-image marker after the first scan, so that truncated files are refused
// before a decoder fills their missing part with gray.
std::optional<cv::Size> imageSizeFromHeader(std::span<const unsigned char> bytes);
