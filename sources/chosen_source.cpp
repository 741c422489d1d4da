#include "sources/chosen_source.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <ostream>

#include "sources/monitor_source.h"
#include "sources/to_utf8.h"
#include "sources/usb_source.h"

namespace {

using platform::Monitor;
using platform::MonitorRect;

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// The monitor that `wanted` names, by its number in the listed order or by its name; an error
// line when there is none.
std::optional<std::size_t> findMonitor(const std::vector<Monitor>& monitors,
                                       const std::string& wanted) {
    const bool number = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    if (number) {
        const std::size_t index = wanted.size() < 10 ? std::stoul(wanted) : monitors.size();
        if (index < monitors.size()) {
            return index;
        }
        std::cerr << "error: no monitor " << wanted << " (there are " << monitors.size()
                  << ", numbered from 0)\n";
        return std::nullopt;
    }
    const auto named = std::find_if(monitors.begin(), monitors.end(),
                                    [&](const Monitor& m) { return m.name == wanted; });
    if (named == monitors.end()) {
        std::cerr << "error: no monitor named " << wanted << "\n";
        return std::nullopt;
    }
    return static_cast<std::size_t>(named - monitors.begin());
}

// The region in virtual-screen coordinates, or an error line when it leaves the monitor.
std::optional<MonitorRect> regionOf(const MonitorRect& monitor, std::size_t index,
                                    const cv::Rect& region) {
    const cv::Rect whole(0, 0, monitor.right - monitor.left, monitor.bottom - monitor.top);
    if ((region & whole) != region) {
        std::cerr << "error: region " << region.x << "," << region.y << ","
                  << sizeText(region.width, region.height) << " does not fit monitor " << index
                  << " (" << sizeText(whole.width, whole.height) << ")\n";
        return std::nullopt;
    }
    return MonitorRect{monitor.left + region.x, monitor.top + region.y,
                       monitor.left + region.x + region.width,
                       monitor.top + region.y + region.height};
}

// A monitor by number or name, or a region of one (of the last when none is named), captured
// live whatever the number of monitors.
std::unique_ptr<FrameSource> createChosenScreenSource(const SourceRequest& request,
                                                      platform::MonitorPlatform& os) {
    const std::vector<Monitor> monitors = os.monitors();
    if (monitors.empty()) {
        std::cerr << "error: no monitor found\n";
        return nullptr;
    }
    const std::optional<std::size_t> index =
        request.monitor ? findMonitor(monitors, *request.monitor) : monitors.size() - 1;
    if (!index) {
        return nullptr;
    }
    const MonitorRect& monitor = monitors[*index].rect;
    const std::optional<MonitorRect> area =
        request.region ? regionOf(monitor, *index, *request.region) : monitor;
    if (!area) {
        return nullptr;
    }
    return createScreenSource({monitor, *area, request.monitor.has_value(), *index},
                              monitors.size(), os);
}

}  // namespace

std::unique_ptr<FrameSource> makeSource(const SourceRequest& request, const CaptureOpener& open,
                                        platform::MonitorPlatform& os) {
    switch (request.kind) {
        case SourceRequest::Kind::Camera:
            return createCameraSource(request, open);
        case SourceRequest::Kind::Monitor:
            if (!request.monitor && !request.region) {
                return createMonitorSource(os);
            }
            return createChosenScreenSource(request, os);
        case SourceRequest::Kind::Wallpaper:
            return createWallpaperSource(os);
    }
    return nullptr;
}

void listSources(std::ostream& out, const CaptureOpener& open, platform::MonitorPlatform& os) {
    listCameras(out, open);
    const std::vector<Monitor> monitors = os.monitors();
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const MonitorRect& r = monitors[i].rect;
        out << "monitor " << i << " " << (monitors[i].name.empty() ? "-" : monitors[i].name) << " "
            << r.left << "," << r.top << " " << sizeText(r.right - r.left, r.bottom - r.top)
            << "\n";
    }
    const platform::SettingsAccessResult settings = os.openSettings();
    const std::filesystem::path wallpaper =
        settings.access ? os.wallpaperPath() : std::filesystem::path();
    if (!wallpaper.empty()) {
        out << "wallpaper " << toUtf8(wallpaper.native()) << "\n";
    }
}
