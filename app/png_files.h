#pragma once

#include <filesystem>
#include <utility>
#include <vector>

#include <opencv2/core.hpp>

using PngFiles = std::vector<std::pair<std::filesystem::path, cv::Mat>>;

// Each picture as a PNG file, every file whole or not at all; the encodings, which take most of
// the time, run side by side. Returns the first file that could not be written, or an empty path.
std::filesystem::path writePngFiles(const PngFiles& files);
