// Monitor enumeration through the real layer on the layouts the runner makes: one Xvfb screen of
// 1280 x 1024, or two Xinerama screens of 1280 x 1024 and 1024 x 768 that both sit at 0,0 and
// are told apart by their sizes. Every monitor's information is asked for with the structure's
// own size, and a monitor whose information cannot be had is left out.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/monitors.h"
#include "tests/wine/import_hook.h"
#include "tests/wine/wine_check.h"

namespace {

decltype(&GetMonitorInfoW) realGetMonitorInfoW = nullptr;
std::string calls;
int infoCalls = 0;
int failingInfoCall = -1;  // the zero-based call of GetMonitorInfoW that reports failure

BOOL WINAPI recordGetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info) {
    calls += "GetMonitorInfoW(" + std::to_string(info->cbSize) + ") ";
    if (infoCalls++ == failingInfoCall) {
        return FALSE;
    }
    return realGetMonitorInfoW(monitor, info);
}

struct InfoHook {
    InfoHook()
        : hook("user32.dll", "GetMonitorInfoW", reinterpret_cast<void*>(&recordGetMonitorInfoW)) {
        EXPECT_TRUE(hook.installed());
        realGetMonitorInfoW = hook.original<decltype(&GetMonitorInfoW)>();
    }
    ImportHook hook;
};

std::string text(const std::vector<platform::MonitorRect>& rects) {
    std::string out;
    for (const platform::MonitorRect& r : rects) {
        out += std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom) + " ";
    }
    return out;
}

}  // namespace

WINE_CHECK_GROUP(monitors_one) {
    InfoHook hook;
    EXPECT_EQ(text(platform::systemMonitors().monitors()), std::string("0,0,1280,1024 "));
    EXPECT_EQ(calls, std::string("GetMonitorInfoW(40) "));
}

WINE_CHECK_GROUP(monitors_two) {
    InfoHook hook;
    EXPECT_EQ(text(platform::systemMonitors().monitors()),
              std::string("0,0,1280,1024 0,0,1024,768 "));
    EXPECT_EQ(calls, std::string("GetMonitorInfoW(40) GetMonitorInfoW(40) "));

    // The first monitor's information fails: the enumeration goes on to the second.
    calls.clear();
    infoCalls = 0;
    failingInfoCall = 0;
    EXPECT_EQ(text(platform::systemMonitors().monitors()), std::string("0,0,1024,768 "));
    EXPECT_EQ(calls, std::string("GetMonitorInfoW(40) GetMonitorInfoW(40) "));
}
