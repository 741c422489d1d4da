#include "sources/to_utf8.h"

#include "platform/monitors.h"

std::string toUtf8(std::basic_string_view<std::filesystem::path::value_type> text) {
    if (text.empty()) {
        return {};
    }
    return platform::nativeToUtf8(text);
}
