#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A native string (a path's own text: UTF-16 on Windows, bytes on Linux) as UTF-8 for the
// console. Empty for an empty text or one that cannot be converted.
std::string toUtf8(std::basic_string_view<std::filesystem::path::value_type> text);
