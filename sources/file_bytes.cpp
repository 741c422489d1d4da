#include "sources/file_bytes.h"

#include <fstream>
#include <iterator>

// The size is not asked for first: the stream reads to its end whatever the file holds then.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
}
