#pragma once

#include <filesystem>

#include <opencv2/core.hpp>

// Reads the whole file and decodes it as 8-bit BGR. Empty when the file cannot be opened, is
// empty or is no image the library decodes.
cv::Mat loadImageFile(const std::filesystem::path& path);
