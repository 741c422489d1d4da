#include "tests/wine/wallpaper_file.h"

#include <windows.h>

std::wstring wallpaperDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VELMORA_WINE_WALLPAPER_DIR", buffer, MAX_PATH);
    return length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring wallpaperPath() {
    return wallpaperDirectory() + L"\\" + kWallpaperName;
}
