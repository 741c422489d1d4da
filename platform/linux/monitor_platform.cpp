#include "platform/linux/desktop_wallpaper.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_grabber.h"
#include "platform/linux/x11_monitors.h"
#include "platform/monitors.h"

namespace platform {
namespace {

class X11Monitors final : public MonitorPlatform {
  public:
    std::vector<MonitorRect> monitors() override {
        const DisplayConnection display = openDisplay();
        return display ? listX11Monitors(display.get()) : std::vector<MonitorRect>{};
    }
    GrabberResult openGrabber(const MonitorRect& rect) override { return openX11Grabber(rect); }
    // There is no apartment to join on Linux: a success that owes nothing.
    std::int32_t initializeCom() override { return 0; }
    void uninitializeCom() override {}
    std::filesystem::path wallpaperPath() override {
        return findWallpaper(desktopPlacesFromEnvironment());
    }
};

}  // namespace

MonitorPlatform& systemMonitors() {
    static X11Monitors monitors;
    return monitors;
}

std::string nativeToUtf8(std::basic_string_view<std::filesystem::path::value_type> text) {
    return std::string(text);
}

}  // namespace platform
