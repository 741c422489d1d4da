#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

// The largest file read whole: what the image decoder accepts in one buffer (2^31 - 1 bytes).
constexpr std::uintmax_t kMaxFileBytes = 0x7FFFFFFF;

// Why the path cannot be read whole, as error lines name it: "no such file" (dangling links
// too), "not a regular file" (directories, FIFOs and devices are refused before they are opened:
// a FIFO would wait for a writer and a device may never end) or "larger than 2 GiB". Empty
// when it can be read.
std::string_view fileRefusal(const std::filesystem::path& path);

// Every byte of the file, read through a stream opened by the path's own name (UTF-16 on
// Windows, so names outside the ANSI code page open too). Empty when fileRefusal names a reason,
// the file cannot be opened or read, holds nothing, or grew beyond kMaxFileBytes; `refusal`, when
// given, then receives the reason (nothing for an empty file).
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path,
                                         std::string_view* refusal = nullptr);
