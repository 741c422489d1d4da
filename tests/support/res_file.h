#pragma once
// Reads a compiled Windows resource file (.res, as `windres -O res` or rc.exe write it): a
// sequence of resources, each a header with its type and name, then its bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace res {

struct Resource {
    int typeId = -1;  // -1 when the type is a name
    std::u16string typeName;
    int nameId = -1;  // -1 when the resource has a name instead of a number
    std::u16string name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

// The resources in file order, without the empty entry that opens every file; nothing when
// the bytes are not a well-formed resource file.
std::optional<std::vector<Resource>> parse(const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> readFile(const std::string& path);

// Little-endian fields inside resource data.
std::uint16_t word(const std::vector<std::uint8_t>& data, std::size_t offset);
std::uint32_t dword(const std::vector<std::uint8_t>& data, std::size_t offset);

}  // namespace res
