#pragma once
// The wallpaper file that the runner makes and names in the registry before the checks run: a
// non-ASCII name (a character outside the basic plane included) in the directory given by
// VELMORA_WINE_WALLPAPER_DIR, holding bytes that a text-mode read would alter.
#include <string>
#include <vector>

inline constexpr wchar_t kWallpaperName[] = L"Zoë Ångström – 壁紙 🌄.jpg";

inline const std::vector<unsigned char> kWallpaperBytes = {'V',  'L',  'M', '\r', '\n', 0x1a, 0x00,
                                                           0xff, '\n', '-', 'e',  'n',  'd'};

// The directory as Windows programs see it; empty when the runner did not say.
std::wstring wallpaperDirectory();

// The directory, a backslash and kWallpaperName.
std::wstring wallpaperPath();
