#include "sources/image_file.h"

#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "sources/file_bytes.h"

cv::Mat loadImageFile(const std::filesystem::path& path) {
    const std::vector<unsigned char> bytes = readFileBytes(path);
    if (bytes.empty()) {
        return {};
    }
    return cv::imdecode(bytes, cv::IMREAD_COLOR);
}
