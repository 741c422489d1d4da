#include "sources/image_file.h"

#include <fstream>
#include <iterator>
#include <vector>

#include <opencv2/imgcodecs.hpp>

cv::Mat loadImageFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        return {};
    }
    return cv::imdecode(bytes, cv::IMREAD_COLOR);
}
