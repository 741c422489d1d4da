#include "platform/windows/gdi_calls.h"

#include <windows.h>

namespace platform {
namespace {

HDC dc(GdiHandle handle) {
    return static_cast<HDC>(handle);
}

class Win32Gdi final : public GdiCalls {
  public:
    GdiHandle getScreenDC() override { return GetDC(nullptr); }
    GdiHandle createCompatibleDC(GdiHandle screen) override {
        return CreateCompatibleDC(dc(screen));
    }
    GdiHandle createDibSection(GdiHandle screen, std::int32_t width, std::int32_t height,
                               void** bits) override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: the first row is the monitor's top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        static_assert(sizeof(BITMAPINFOHEADER) == 40);
        return CreateDIBSection(dc(screen), &info, DIB_RGB_COLORS, bits, nullptr, 0);
    }
    GdiHandle selectObject(GdiHandle target, GdiHandle object) override {
        return SelectObject(dc(target), static_cast<HGDIOBJ>(object));
    }
    bool bitBlt(GdiHandle target, std::int32_t width, std::int32_t height, GdiHandle source,
                std::int32_t x, std::int32_t y) override {
        static_assert((SRCCOPY | CAPTUREBLT) == 0x40CC0020);
        return BitBlt(dc(target), 0, 0, width, height, dc(source), x, y, SRCCOPY | CAPTUREBLT) != 0;
    }
    void deleteObject(GdiHandle object) override { DeleteObject(static_cast<HGDIOBJ>(object)); }
    void deleteDC(GdiHandle target) override { DeleteDC(dc(target)); }
    void releaseDC(GdiHandle screen) override { ReleaseDC(nullptr, dc(screen)); }
};

}  // namespace

GdiCalls& win32Gdi() {
    static Win32Gdi gdi;
    return gdi;
}

}  // namespace platform
