#include "tests/wine/fake_desktop_wallpaper.h"

#include <cwchar>

namespace {

wchar_t* taskCopy(const wchar_t* text) {
    const std::size_t units = std::wcslen(text) + 1;
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(units * sizeof(wchar_t)));
    std::wmemcpy(copy, text, units);
    return copy;
}

std::string narrow(const wchar_t* text) {
    std::string out;
    for (; *text != 0; ++text) {
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return out;
}

}  // namespace

HRESULT FakeDesktopWallpaper::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IDesktopWallpaper) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FakeDesktopWallpaper::AddRef() {
    calls += "AddRef ";
    return ++references;
}

ULONG FakeDesktopWallpaper::Release() {
    calls += "Release ";
    return --references;
}

HRESULT FakeDesktopWallpaper::GetMonitorDevicePathCount(UINT* count) {
    calls += "GetMonitorDevicePathCount ";
    *count = monitorCount;
    return countResult;
}

HRESULT FakeDesktopWallpaper::GetMonitorDevicePathAt(UINT index, LPWSTR* monitorID) {
    calls += "GetMonitorDevicePathAt(" + std::to_string(index) + ") ";
    if (FAILED(monitorResult)) {
        return monitorResult;
    }
    // The shell's monitor identifiers are device paths; the index picks one of them.
    const std::wstring id = L"\\\\?\\DISPLAY#VLM" + std::to_wstring(index);
    *monitorID = taskCopy(id.c_str());
    monitorText = *monitorID;
    return S_OK;
}

HRESULT FakeDesktopWallpaper::GetWallpaper(LPCWSTR monitorID, LPWSTR* path) {
    calls += "GetWallpaper(" + (monitorID != nullptr ? narrow(monitorID) : "null") + ") ";
    if (wallpaper != nullptr) {
        *path = taskCopy(wallpaper);
        wallpaperText = *path;
    }
    return wallpaperResult;
}

HRESULT FakeDesktopWallpaper::unused(const char* name) {
    calls += std::string(name) + " ";
    return E_NOTIMPL;
}

HRESULT FakeDesktopWallpaper::SetWallpaper(LPCWSTR, LPCWSTR) {
    return unused("SetWallpaper");
}
HRESULT FakeDesktopWallpaper::GetMonitorRECT(LPCWSTR, RECT*) {
    return unused("GetMonitorRECT");
}
HRESULT FakeDesktopWallpaper::SetBackgroundColor(COLORREF) {
    return unused("SetBackgroundColor");
}
HRESULT FakeDesktopWallpaper::GetBackgroundColor(COLORREF*) {
    return unused("GetBackgroundColor");
}
HRESULT FakeDesktopWallpaper::SetPosition(DESKTOP_WALLPAPER_POSITION) {
    return unused("SetPosition");
}
HRESULT FakeDesktopWallpaper::GetPosition(DESKTOP_WALLPAPER_POSITION*) {
    return unused("GetPosition");
}
HRESULT FakeDesktopWallpaper::SetSlideshow(IShellItemArray*) {
    return unused("SetSlideshow");
}
HRESULT FakeDesktopWallpaper::GetSlideshow(IShellItemArray**) {
    return unused("GetSlideshow");
}
HRESULT FakeDesktopWallpaper::SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) {
    return unused("SetSlideshowOptions");
}
HRESULT FakeDesktopWallpaper::GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) {
    return unused("GetSlideshowOptions");
}
HRESULT FakeDesktopWallpaper::AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) {
    return unused("AdvanceSlideshow");
}
HRESULT FakeDesktopWallpaper::GetStatus(DESKTOP_SLIDESHOW_STATE*) {
    return unused("GetStatus");
}
HRESULT FakeDesktopWallpaper::Enable(WINBOOL) {
    return unused("Enable");
}
