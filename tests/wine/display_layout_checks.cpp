// The display layout that the runner set up, as Windows programs see it. The monitor checks
// rely on it: one Xvfb screen gives one monitor, two Xinerama screens give two.
#include <windows.h>

#include <cstdlib>

#include "tests/wine/wine_check.h"

WINE_CHECK_GROUP(display_layout) {
    const char* expected = std::getenv("VELMORA_WINE_MONITORS");
    EXPECT_TRUE(expected != nullptr);
    int monitors = 0;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT, LPARAM count) -> BOOL {
            ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    EXPECT_EQ(monitors, expected == nullptr ? -1 : std::atoi(expected));
}
