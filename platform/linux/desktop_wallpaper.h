#pragma once

#include <filesystem>
#include <string>

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace platform {

// Where the desktops keep their settings, and which desktop runs (XDG_CURRENT_DESKTOP).
struct DesktopPlaces {
    std::filesystem::path home;
    std::filesystem::path config;  // XDG_CONFIG_HOME, or ~/.config
    std::string currentDesktop;
    GSettingsSchemaSource* schemas = nullptr;  // null: no GSettings lookup
    GSettingsBackend* backend = nullptr;       // null: the default back end
    std::filesystem::path system = "/etc";     // the system-wide configuration
};

DesktopPlaces desktopPlacesFromEnvironment();

// Each desktop's own wallpaper setting, empty when it has none.
std::filesystem::path gnomeWallpaper(GSettingsSchemaSource* schemas, GSettingsBackend* backend);
std::filesystem::path xfceWallpaper(const std::filesystem::path& config);
std::filesystem::path kdeWallpaper(const std::filesystem::path& config);
std::filesystem::path fehWallpaper(const std::filesystem::path& home);
// From the config file sway reads: the first of ~/.sway/config, CONFIG/sway/config, the i3
// ones and, when `system` is not empty, SYSTEM/sway/config and SYSTEM/i3/config.
std::filesystem::path swayWallpaper(const std::filesystem::path& home,
                                    const std::filesystem::path& config,
                                    const std::filesystem::path& system);

// The running desktop's setting first, then GSettings, XFCE, KDE Plasma, feh and sway. The first
// path whose file exists wins; when none exists the first path found is returned, so that the
// failure names it.
std::filesystem::path findWallpaper(const DesktopPlaces& places);

}  // namespace platform
