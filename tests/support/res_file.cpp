#include "tests/support/res_file.h"

#include <fstream>
#include <iterator>

namespace res {
namespace {

// A type or name field: 0xFFFF and a number, or a zero-terminated UTF-16 string.
bool readId(const std::vector<std::uint8_t>& bytes, std::size_t& offset, std::size_t end, int& id,
            std::u16string& name) {
    if (offset + 2 > end) {
        return false;
    }
    if (word(bytes, offset) == 0xFFFF) {
        if (offset + 4 > end) {
            return false;
        }
        id = word(bytes, offset + 2);
        offset += 4;
        return true;
    }
    for (; offset + 2 <= end; offset += 2) {
        char16_t c = static_cast<char16_t>(word(bytes, offset));
        if (c == 0) {
            offset += 2;
            return true;
        }
        name.push_back(c);
    }
    return false;
}

}  // namespace

std::uint16_t word(const std::vector<std::uint8_t>& data, std::size_t offset) {
    if (offset + 2 > data.size()) {
        return 0;
    }
    return static_cast<std::uint16_t>(data[offset] | data[offset + 1] << 8);
}

std::uint32_t dword(const std::vector<std::uint8_t>& data, std::size_t offset) {
    return word(data, offset) | static_cast<std::uint32_t>(word(data, offset + 2)) << 16;
}

std::optional<std::vector<Resource>> parse(const std::vector<std::uint8_t>& bytes) {
    std::vector<Resource> resources;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        if (offset + 8 > bytes.size()) {
            return std::nullopt;
        }
        const std::size_t dataSize = dword(bytes, offset);
        const std::size_t headerSize = dword(bytes, offset + 4);
        const std::size_t dataStart = offset + headerSize;
        if (headerSize < 32 || dataStart > bytes.size() || dataSize > bytes.size() - dataStart) {
            return std::nullopt;
        }
        Resource resource;
        std::size_t field = offset + 8;
        if (!readId(bytes, field, dataStart, resource.typeId, resource.typeName) ||
            !readId(bytes, field, dataStart, resource.nameId, resource.name)) {
            return std::nullopt;
        }
        field = (field + 3) & ~std::size_t{3};
        resource.language = word(bytes, field + 6);
        resource.data.assign(bytes.begin() + dataStart, bytes.begin() + dataStart + dataSize);
        if (!(dataSize == 0 && resource.typeId == 0)) {
            resources.push_back(std::move(resource));
        }
        offset = (dataStart + dataSize + 3) & ~std::size_t{3};
    }
    return resources;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace res
