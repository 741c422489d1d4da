#include <objbase.h>
#include <shobjidl.h>
#include <windows.h>

#include <climits>
#include <cwchar>
#include <string>

#include "platform/monitors.h"
#include "platform/owner.h"
#include "platform/windows/gdi_calls.h"

namespace platform {
namespace {

// The extended form of the monitor's information, which adds the display device's name.
BOOL CALLBACK collectMonitorRect(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof(MONITORINFOEXW);
    if (GetMonitorInfoW(monitor, &info) == 0) {
        return TRUE;  // skipped; the enumeration goes on
    }
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<Monitor>*>(data)->push_back(
        {{r.left, r.top, r.right, r.bottom},
         nativeToUtf8(std::wstring_view(info.szDevice, wcsnlen(info.szDevice, CCHDEVICENAME)))});
    return TRUE;
}

void releaseCom(IUnknown* object) {
    object->Release();
}
using IDesktopWallpaperOwner = Owner<IDesktopWallpaper, releaseCom>;
using CoTaskTextOwner = Owner<wchar_t, CoTaskMemFree>;

// The shell's setting for the first monitor in its own list.
std::wstring shellWallpaperPath() {
    IDesktopWallpaperOwner wallpaper;
    const HRESULT made = CoCreateInstance(CLSID_DesktopWallpaper, nullptr, CLSCTX_ALL,
                                          IID_IDesktopWallpaper, outParam(wallpaper));
    UINT count = 0;
    if (FAILED(made) || !wallpaper || FAILED(wallpaper->GetMonitorDevicePathCount(&count)) ||
        count == 0) {
        return {};
    }
    CoTaskTextOwner monitor;
    const HRESULT listed = wallpaper->GetMonitorDevicePathAt(0, outParam(monitor));
    if (FAILED(listed) || !monitor) {
        return {};
    }
    CoTaskTextOwner path;
    const HRESULT got = wallpaper->GetWallpaper(monitor.get(), outParam(path));
    return SUCCEEDED(got) && path ? std::wstring(path.get()) : std::wstring();
}

std::wstring getWallpaperPath() {
    std::wstring result = shellWallpaperPath();
    if (result.empty()) {
        constexpr UINT kPathUnits = 260;
        wchar_t buffer[kPathUnits] = {};
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, kPathUnits, buffer, 0);
        result.assign(buffer, wcsnlen(buffer, kPathUnits));
    }
    return result;
}

// COM's single-threaded apartment on this thread, left when it goes.
class ComApartment final : public SettingsAccess {
  public:
    ~ComApartment() override { CoUninitialize(); }
};

class GdiMonitors final : public MonitorPlatform {
  public:
    std::vector<Monitor> monitors() override {
        std::vector<Monitor> listed;
        EnumDisplayMonitors(nullptr, nullptr, collectMonitorRect,
                            reinterpret_cast<LPARAM>(&listed));
        return listed;
    }
    // Any rectangle of the desktop can be copied, a monitor's or a region of it.
    GrabberResult openGrabber(const CaptureArea& capture) override {
        return openGdiGrabber(win32Gdi(), capture.area);
    }
    void forgetMonitorChoice() override {}
    // S_FALSE (already initialised in this apartment) counts too and is balanced all the same.
    SettingsAccessResult openSettings() override {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
            return {nullptr, "CoInitializeEx failed"};
        }
        return {std::make_unique<ComApartment>(), {}};
    }
    std::filesystem::path wallpaperPath() override { return getWallpaperPath(); }
};

}  // namespace

MonitorPlatform& systemMonitors() {
    static GdiMonitors monitors;
    return monitors;
}

std::string nativeToUtf8(std::basic_string_view<std::filesystem::path::value_type> text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), bytes, nullptr, nullptr) ==
        0) {
        return {};
    }
    return out;
}

}  // namespace platform
