#pragma once
// What the monitor sources need from the operating system: the monitors, a screen grabber, and
// the wallpaper file with what reading it needs held. Like platform.h it names no OS type and no
// OpenCV type; tests put a modelled desktop behind MonitorPlatform.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A monitor's area in virtual-screen coordinates; right and bottom lie just outside it. Monitors
// left of or above the primary one have negative coordinates.
struct MonitorRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const MonitorRect&) const = default;
};

struct Monitor {
    MonitorRect rect;
    // The output's name on X11 and Wayland ("HDMI-1"), the display device's on Windows
    // (\\.\DISPLAY1), as UTF-8.
    std::string name;
};

// What to capture: a monitor, or a rectangle inside it, both in virtual-screen coordinates.
struct CaptureArea {
    MonitorRect monitor;
    MonitorRect area;  // the monitor itself, or a region of it
    // Where the desktop and not the program picks the monitor (Wayland's screen cast portal), a
    // stream of another monitor is refused rather than shown.
    bool thisMonitorOnly = false;
    // Which of the listed monitors it is, where it must be that one.
    std::size_t index = 0;
};

// Copies one monitor's pixels into memory it owns, once per grab: rows top-down, four bytes a
// pixel in the order blue, green, red, unused. The rows stay valid until the next grab; the
// grabber releases everything it acquired when it is destroyed.
class ScreenGrabber {
  public:
    virtual ~ScreenGrabber() = default;
    // False when the pixels could not be had; the rows are then unspecified.
    virtual bool grab() = 0;
    virtual const unsigned char* rows() const = 0;
    virtual std::size_t rowStride() const = 0;
    // The size of the rows of the last grab: the monitor's, or what a screen cast stream
    // delivers, which may change while it runs.
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;
};

enum class GrabberFailure {
    NoFailure,
    NoBitmap,           // the pixel memory (or what it is made from) could not be had
    UnsupportedFormat,  // the screen's pixels cannot be handed out as BGRA
    NoPortal,           // no screen cast portal answers on the session bus
    CastRefused,        // the portal or the user refused or cancelled the screen cast
    NoStream,           // the portal gave no stream, or its stream could not be connected
    NoFirstFrame,       // the stream delivered no frame in the time allowed at start
    OtherMonitor,       // the portal's stream shows another monitor than the one asked for
};

struct GrabberResult {
    std::unique_ptr<ScreenGrabber> grabber;  // null exactly when failure is not NoFailure
    GrabberFailure failure = GrabberFailure::NoFailure;
    // What the screen offers, why the screen cast failed, or for NoBitmap what could not be had,
    // in the platform's own words.
    std::string detail;
    // Which of the listed monitors the grabber shows, where the platform can tell; the asked
    // one otherwise.
    std::optional<std::size_t> monitorIndex = std::nullopt;
};

// Held while the desktop's settings are looked up and the wallpaper read: COM's
// single-threaded apartment on the calling thread on Windows (entered when made, left when
// destroyed), nothing on Linux.
class SettingsAccess {
  public:
    virtual ~SettingsAccess() = default;
};

struct SettingsAccessResult {
    std::unique_ptr<SettingsAccess> access;  // null when it could not be had
    std::string failure;                     // then what failed, in the platform's own words
};

class MonitorPlatform {
  public:
    virtual ~MonitorPlatform() = default;
    // Every monitor of the desktop, in the order the system reports them.
    virtual std::vector<Monitor> monitors() = 0;
    virtual GrabberResult openGrabber(const CaptureArea& capture) = 0;
    // Makes the desktop ask again which monitor to cast, where it remembers the choice
    // (Wayland's screen cast portal); nothing elsewhere.
    virtual void forgetMonitorChoice() = 0;
    virtual SettingsAccessResult openSettings() = 0;
    // The desktop wallpaper file; empty when none is set. Needs a SettingsAccess held.
    virtual std::filesystem::path wallpaperPath() = 0;
};

// The operating system's own monitors, screen and desktop settings.
MonitorPlatform& systemMonitors();

// A native string (UTF-16 on Windows, bytes on Linux) as UTF-8 for the console; empty when it
// cannot be converted. Linux paths are bytes and are passed on unchanged.
std::string nativeToUtf8(std::basic_string_view<std::filesystem::path::value_type> text);

}  // namespace platform
