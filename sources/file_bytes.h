#pragma once

#include <filesystem>
#include <vector>

// Every byte of the file, read through a stream opened by the path's own name (UTF-16 on
// Windows, so names outside the ANSI code page open too). Empty when the file cannot be opened
// or holds nothing.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path);
