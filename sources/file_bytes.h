#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// The largest file read whole: what the image decoder accepts in one buffer (2^31 - 1 bytes).
constexpr std::uintmax_t kMaxFileBytes = 0x7FFFFFFF;

// Every byte of the file, read through a stream opened by the path's own name (UTF-16 on
// Windows, so names outside the ANSI code page open too). Empty when the path is no regular
// file (directories, FIFOs and devices are refused before they are opened: a FIFO would wait
// for a writer and a device may never end), cannot be opened, holds nothing, or holds more
// than `maxBytes`.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path,
                                         std::uintmax_t maxBytes = kMaxFileBytes);
