#include "platform/linux/desktop_wallpaper.h"
#include "platform/linux/session.h"
#include "platform/linux/wayland/grabber.h"
#include "platform/linux/wayland/monitors.h"
#include "platform/linux/x11/display.h"
#include "platform/linux/x11/grabber.h"
#include "platform/linux/x11/monitors.h"
#include "platform/monitors.h"

namespace platform {
namespace {

// What both sessions share: the desktop's settings, which need nothing held to be read.
class LinuxMonitors : public MonitorPlatform {
  public:
    SettingsAccessResult openSettings() override {
        return {std::make_unique<SettingsAccess>(), {}};
    }
    std::filesystem::path wallpaperPath() override {
        return findWallpaper(desktopPlacesFromEnvironment());
    }
};

// X11 captures any rectangle of the screen it is asked for.
class X11Monitors final : public LinuxMonitors {
  public:
    std::vector<Monitor> monitors() override {
        const XDisplayOwner display = openDisplay();
        return display ? listX11Monitors(display.get()) : std::vector<Monitor>{};
    }
    GrabberResult openGrabber(const CaptureArea& capture) override {
        return openX11Grabber(capture.area);
    }
    void forgetMonitorChoice() override {}
};

// The compositor's outputs; the screen cast portal, not the program, picks the one captured.
class WaylandMonitors final : public LinuxMonitors {
  public:
    std::vector<Monitor> monitors() override {
        listed_ = listWaylandMonitors();
        return listed_;
    }
    GrabberResult openGrabber(const CaptureArea& capture) override {
        return openWaylandGrabber(listed_, capture, monitorChoiceFile());
    }
    void forgetMonitorChoice() override {
        std::error_code ignored;
        std::filesystem::remove(monitorChoiceFile(), ignored);
    }

  private:
    std::vector<Monitor> listed_;
};

}  // namespace

// The session is looked at once: every monitor call of the run talks to the same one.
MonitorPlatform& systemMonitors() {
    static X11Monitors x11;
    static WaylandMonitors wayland;
    static MonitorPlatform& chosen =
        currentSession() == Session::Wayland ? static_cast<MonitorPlatform&>(wayland) : x11;
    return chosen;
}

std::string nativeToUtf8(std::basic_string_view<std::filesystem::path::value_type> text) {
    return std::string(text);
}

}  // namespace platform
