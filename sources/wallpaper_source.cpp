#include <iostream>

#include "sources/image_file.h"
#include "sources/monitor_source.h"
#include "sources/to_utf8.h"

std::unique_ptr<FrameSource> createWallpaperSource(platform::MonitorPlatform& os) {
    auto source = std::make_unique<MonitorSource>(os);
    source->stillImage = true;
    platform::SettingsAccessResult settings = os.openSettings();
    if (!settings.access) {
        std::cerr << "error: " << settings.failure << "\n";
        return nullptr;
    }
    source->settings = std::move(settings.access);
    const std::filesystem::path path = os.wallpaperPath();
    if (path.empty()) {
        std::cerr << "error: wallpaper path not found (solid color setting?)\n";
        return nullptr;
    }
    source->image = loadImageFile(path);
    if (source->image.empty()) {
        std::cerr << "error: failed to load wallpaper: " << toUtf8(path.native()) << "\n";
        return nullptr;
    }
    std::cout << "mode=wallpaper monitors=1 monitor_index=0"
              << " width=" << source->image.cols << " height=" << source->image.rows
              << "\npath=" << toUtf8(path.native()) << "\n";
    return source;
}
