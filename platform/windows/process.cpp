#include <windows.h>

#include "platform/platform.h"

namespace platform {

void prepareProcess() {
    SetConsoleOutputCP(CP_UTF8);
    if (!SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
        SetProcessDPIAware();
    }
}

void fixWindowFrame(const char* title) {
    HWND hwnd = FindWindowA(nullptr, title);
    if (hwnd == nullptr) {
        return;
    }
    // Caption, sizing border and maximise box; nothing the image library set is cleared.
    constexpr LONG_PTR kFrameBits = WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX;
    static_assert(kFrameBits == 0x00C50000);
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetWindowLongPtrW(hwnd, GWL_STYLE, style | kFrameBits);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

}  // namespace platform
