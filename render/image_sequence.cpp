#include "render/image_sequence.h"

#include <climits>
#include <system_error>

std::string SequencePattern::nameOf(int number) const {
    const std::string digits = std::to_string(number);
    const std::size_t padding =
        digits.size() < static_cast<std::size_t>(width) ? width - digits.size() : 0;
    return prefix + std::string(padding, zeroPadded ? '0' : ' ') + digits + suffix;
}

std::optional<SequencePattern> parseSequencePattern(const std::string& name) {
    const std::size_t percent = name.find('%');
    if (percent == std::string::npos) {
        return std::nullopt;
    }
    SequencePattern pattern;
    pattern.prefix = name.substr(0, percent);
    std::size_t at = percent + 1;
    if (at < name.size() && name[at] == '0') {
        pattern.zeroPadded = true;
        ++at;
    }
    if (at < name.size() && name[at] >= '1' && name[at] <= '9') {
        pattern.width = name[at] - '0';
        ++at;
    }
    if (at >= name.size() || (name[at] != 'd' && name[at] != 'u') ||
        name.find('%', at) != std::string::npos) {
        return std::nullopt;
    }
    pattern.suffix = name.substr(at + 1);
    return pattern;
}

std::vector<std::filesystem::path> sequenceMembers(const SequencePattern& pattern) {
    std::vector<std::filesystem::path> members;
    std::error_code ec;
    const int first = std::filesystem::exists(pattern.nameOf(0), ec) ? 0 : 1;
    for (int number = first; number < INT_MAX; ++number) {
        std::filesystem::path member = pattern.nameOf(number);
        if (!std::filesystem::exists(member, ec)) {
            break;
        }
        members.push_back(std::move(member));
    }
    return members;
}
