// The UTF-8 text of UTF-16 strings, and whole files read by their UTF-16 names: the wallpaper
// file that the runner made (its name outside the ANSI code page, its bytes changed by any
// text-mode read), a missing file, an empty one, one that another handle is writing, and the
// handle given back once the file is read.
#include <windows.h>

#include <string>
#include <vector>

#include "sources/file_bytes.h"
#include "sources/to_utf8.h"
#include "tests/wine/import_hook.h"
#include "tests/wine/wallpaper_file.h"
#include "tests/wine/wine_check.h"

namespace {

std::string calls;
decltype(&WideCharToMultiByte) realWideCharToMultiByte = nullptr;

int WINAPI recordWideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH text, int length, LPSTR out,
                                     int outSize, LPCCH fallback, LPBOOL usedFallback) {
    const int result = realWideCharToMultiByte(codePage, flags, text, length, out, outSize,
                                               fallback, usedFallback);
    calls += "WideCharToMultiByte(" + std::to_string(codePage) + "," + std::to_string(flags) + "," +
             std::to_string(length) + "," + (out == nullptr ? "null" : "out") + "," +
             std::to_string(outSize) + ")=" + std::to_string(result) + " ";
    return result;
}

std::string bytes(const std::vector<unsigned char>& data) {
    std::string out;
    for (unsigned char byte : data) {
        out += std::to_string(byte) + " ";
    }
    return out;
}

// A file made through Win32 by its UTF-16 name, removed again when the holder goes.
struct ScratchFile {
    ScratchFile(std::wstring name, const std::string& content) : path(std::move(name)) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_TRUE(file != INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    ~ScratchFile() { DeleteFileW(path.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    std::wstring path;
};

}  // namespace

WINE_CHECK_GROUP(to_utf8) {
    ImportHook hook("kernel32.dll", "WideCharToMultiByte",
                    reinterpret_cast<void*>(&recordWideCharToMultiByte));
    EXPECT_TRUE(hook.installed());
    realWideCharToMultiByte = hook.original<decltype(&WideCharToMultiByte)>();

    EXPECT_EQ(toUtf8(kWallpaperName),
              std::string("Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m \xE2\x80\x93 \xE5\xA3\x81\xE7\xB4\x99 "
                          "\xF0\x9F\x8C\x84.jpg"));
    // The size first, then the conversion into exactly that many bytes; the surrogate pair is
    // two UTF-16 units of the 24.
    EXPECT_EQ(calls, std::string("WideCharToMultiByte(65001,0,24,null,0)=35 "
                                 "WideCharToMultiByte(65001,0,24,out,35)=35 "));

    calls.clear();
    EXPECT_EQ(toUtf8(L""), std::string());
    EXPECT_EQ(calls, std::string());

    // An embedded zero is text like any other: the length is passed, not found.
    EXPECT_EQ(toUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    // A lone surrogate has no UTF-8 form; without flags it becomes U+FFFD.
    EXPECT_EQ(toUtf8(std::wstring(L"x\xD83Cy")), std::string("x\xEF\xBF\xBDy"));
}

WINE_CHECK_GROUP(wide_path_file) {
    const std::wstring directory = wallpaperDirectory();
    EXPECT_TRUE(!directory.empty());
    EXPECT_EQ(bytes(readFileBytes(wallpaperPath())), bytes(kWallpaperBytes));
    EXPECT_EQ(readFileBytes(directory + L"\\missing – ë.jpg").size(), std::size_t{0});
    {
        ScratchFile empty(directory + L"\\empty – 空.jpg", "");
        EXPECT_EQ(readFileBytes(empty.path).size(), std::size_t{0});
    }

    // Another program writing the file does not keep it from being read.
    ScratchFile copy(directory + L"\\copy – 壁紙.jpg", "first");
    HANDLE writer =
        CreateFileW(copy.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_TRUE(writer != INVALID_HANDLE_VALUE);
    EXPECT_EQ(bytes(readFileBytes(copy.path)), bytes({'f', 'i', 'r', 's', 't'}));
    CloseHandle(writer);

    // Once read, the file is closed: nobody else is locked out of it, not even for deleting.
    HANDLE exclusive = CreateFileW(copy.path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_TRUE(exclusive != INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
}
