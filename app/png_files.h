#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <opencv2/core.hpp>

using PngFiles = std::vector<std::pair<std::filesystem::path, cv::Mat>>;

// The file of each window among `shown` (pictures by window title) in `folder`, named as
// velmora-render names them: the seven windows', then the scopes'.
PngFiles windowPictureFiles(const std::map<std::string, cv::Mat>& shown,
                            const std::filesystem::path& folder);

// Each picture as a PNG file, every file whole or not at all; the encodings, which take most of
// the time, run side by side. Returns the first file that could not be written, or an empty path.
std::filesystem::path writePngFiles(const PngFiles& files);
