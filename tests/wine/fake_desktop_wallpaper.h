#pragma once
// A stand-in for the shell's desktop wallpaper object, which Wine does not provide. It hands out
// its strings from the COM task allocator, as the shell does, and logs every call.
#include <shobjidl.h>
#include <windows.h>

#include <string>

class FakeDesktopWallpaper final : public IDesktopWallpaper {
  public:
    // Scripted by the check.
    HRESULT countResult = S_OK;
    UINT monitorCount = 2;
    HRESULT monitorResult = S_OK;
    HRESULT wallpaperResult = S_OK;
    const wchar_t* wallpaper = L"C:\\Wallpapers\\first.jpg";  // null: none handed out

    // Observed.
    std::string calls;
    ULONG references = 1;  // the creator's
    const void* monitorText = nullptr;
    const void* wallpaperText = nullptr;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR monitorID, LPWSTR* path) override;
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR* monitorID) override;
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) override;

    // Not used by the lookup; each logs its name and fails.
    HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR, LPCWSTR) override;
    HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR, RECT*) override;
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF) override;
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF*) override;
    HRESULT STDMETHODCALLTYPE SetPosition(DESKTOP_WALLPAPER_POSITION) override;
    HRESULT STDMETHODCALLTYPE GetPosition(DESKTOP_WALLPAPER_POSITION*) override;
    HRESULT STDMETHODCALLTYPE SetSlideshow(IShellItemArray*) override;
    HRESULT STDMETHODCALLTYPE GetSlideshow(IShellItemArray**) override;
    HRESULT STDMETHODCALLTYPE SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override;
    HRESULT STDMETHODCALLTYPE GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) override;
    HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override;
    HRESULT STDMETHODCALLTYPE GetStatus(DESKTOP_SLIDESHOW_STATE*) override;
    HRESULT STDMETHODCALLTYPE Enable(WINBOOL) override;

  private:
    HRESULT unused(const char* name);
};
