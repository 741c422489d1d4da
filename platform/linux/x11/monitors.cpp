#include "platform/linux/x11/monitors.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "platform/owner.h"

namespace platform {
namespace {

using XRRMonitorInfoOwner = Owner<XRRMonitorInfo, XRRFreeMonitors>;
using XineramaScreenInfoOwner = Owner<XineramaScreenInfo, XFree>;

MonitorRect rectOf(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

std::vector<MonitorRect> randrMonitors(Display* display) {
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
    std::vector<MonitorRect> rects;
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& m = monitors.get()[i];
        rects.push_back(rectOf(m.x, m.y, m.width, m.height));
    }
    return rects;
}

std::vector<MonitorRect> xineramaHeads(Display* display) {
    int event = 0;
    int error = 0;
    if (!XineramaQueryExtension(display, &event, &error) || !XineramaIsActive(display)) {
        return {};
    }
    int count = 0;
    const XineramaScreenInfoOwner heads(XineramaQueryScreens(display, &count));
    std::vector<MonitorRect> rects;
    for (int i = 0; heads && i < count; ++i) {
        const XineramaScreenInfo& h = heads.get()[i];
        rects.push_back(rectOf(h.x_org, h.y_org, h.width, h.height));
    }
    return rects;
}

}  // namespace

std::vector<MonitorRect> listX11Monitors(Display* display) {
    std::vector<MonitorRect> rects = randrMonitors(display);
    if (rects.empty()) {
        rects = xineramaHeads(display);
    }
    if (rects.empty()) {
        const int screen = DefaultScreen(display);
        rects.push_back(
            rectOf(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)));
    }
    return rects;
}

}  // namespace platform
