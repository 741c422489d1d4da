#include "platform/linux/x11/monitors.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <string>

#include "platform/owner.h"

namespace platform {
namespace {

using XRRMonitorInfoOwner = Owner<XRRMonitorInfo, XRRFreeMonitors>;
using XineramaScreenInfoOwner = Owner<XineramaScreenInfo, XFree>;
using XAtomNameOwner = Owner<char, XFree>;

MonitorRect rectOf(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

std::vector<Monitor> randrMonitors(Display* display) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105) {
        return {};
    }
    int count = 0;
    const XRRMonitorInfoOwner monitors(
        XRRGetMonitors(display, DefaultRootWindow(display), True, &count));
    std::vector<Monitor> listed;
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& m = monitors.get()[i];
        const XAtomNameOwner name(XGetAtomName(display, m.name));
        listed.push_back({rectOf(m.x, m.y, m.width, m.height), name ? name.get() : ""});
    }
    return listed;
}

std::vector<Monitor> xineramaHeads(Display* display) {
    int event = 0;
    int error = 0;
    if (!XineramaQueryExtension(display, &event, &error) || !XineramaIsActive(display)) {
        return {};
    }
    int count = 0;
    const XineramaScreenInfoOwner heads(XineramaQueryScreens(display, &count));
    std::vector<Monitor> listed;
    for (int i = 0; heads && i < count; ++i) {
        const XineramaScreenInfo& h = heads.get()[i];
        listed.push_back(
            {rectOf(h.x_org, h.y_org, h.width, h.height), "screen-" + std::to_string(i)});
    }
    return listed;
}

}  // namespace

std::vector<Monitor> listX11Monitors(Display* display) {
    std::vector<Monitor> listed = randrMonitors(display);
    if (listed.empty()) {
        listed = xineramaHeads(display);
    }
    if (listed.empty()) {
        const int screen = DefaultScreen(display);
        listed.push_back(
            {rectOf(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)),
             "screen"});
    }
    return listed;
}

}  // namespace platform
