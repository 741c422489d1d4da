// Start-up and COM through the real layer, where a run of the whole program cannot show them: a
// system that accepts the per-monitor V2 context (Wine refuses it; the accepted case is a
// stand-in), a thread already in the apartment, and the shell's desktop wallpaper object.
#include "platform/monitors.h"
#include "platform/platform.h"
#include "tests/wine/call_recorder.h"

namespace wine_check {
namespace {

struct Shell {
    UINT count;
    LPWSTR path;
    HRESULT result;  // of GetWallpaper, which hands out `path`
    std::string calls;
};
const Shell* shell = nullptr;
wchar_t monitorId[] = L"\\\\?\\DISPLAY#1", wallpaperFile[] = L"C:\\Bilder\\Grüße 夜.jpg";

// Logs a call of the shell that hands out a string as "Method(argument)=result,string", the
// string by the name that it gets.
HRESULT handOut(const std::string& call, LPWSTR* out, LPWSTR s, HRESULT result = S_OK) {
    calls += call + ")=" + text(result) + "," + text(s, true) + " ";
    return *out = s, result;
}

}  // namespace

void startupChecks() {
    clearCalls();
    RECORDER("user32.dll", SetProcessDpiAwarenessContext)
    context([](DPI_AWARENESS_CONTEXT) { return TRUE; });
    RECORDER("user32.dll", SetProcessDPIAware) fallback;
    platform::prepareProcess();
    expect("V2 accepted: no fallback", calls, "SetProcessDpiAwarenessContext(-4)=1 ");
}

// Every initialisation, S_FALSE included, is balanced by one uninitialisation.
void comChecks() {
    clearCalls();
    {
        RECORDER("ole32.dll", CoInitializeEx) init;
        RECORDER("ole32.dll", CoUninitialize) uninit;
        platform::MonitorPlatform& os = platform::systemMonitors();
        platform::SettingsAccessResult first = os.openSettings();
        platform::SettingsAccessResult second = os.openSettings();
        expect("entered twice (S_OK, then S_FALSE)",
               std::to_string(first.access != nullptr) + std::to_string(second.access != nullptr),
               "11");
    }
    expect("COM calls", calls,
           "CoInitializeEx(0,2)=0 CoInitializeEx(0,2)=1 CoUninitialize() CoUninitialize() ");

    // The shell's desktop wallpaper object, which Wine lacks, laid out as COM lays out any object
    // on x64: a pointer to a table of methods, IUnknown's three and then IDesktopWallpaper's
    // sixteen in their declared order, where one function without arguments answers those the
    // lookup does not use. Its strings are static, so their freeing is only recorded. The lookup
    // takes the wallpaper of the shell's first monitor, frees both strings, releases the object
    // once and falls back to the desktop setting, here one without a wallpaper, on any failure.
    std::vector<void*> methods(19, reinterpret_cast<void*>(+[] { return E_NOTIMPL; }));
    methods[2] = reinterpret_cast<void*>(+[](void*) { return calls += "Release() ", 0UL; });
    methods[4] = reinterpret_cast<void*>(+[](void*, LPCWSTR monitor, LPWSTR* path) {
        return handOut("GetWallpaper(" + text(monitor), path, shell->path, shell->result);
    });
    methods[5] = reinterpret_cast<void*>(+[](void*, UINT i, LPWSTR* id) {
        return handOut("GetMonitorDevicePathAt(" + text(i), id, monitorId);
    });
    methods[6] = reinterpret_cast<void*>(+[](void*, UINT* n) { return *n = shell->count, S_OK; });
    void* object = methods.data();
    RECORDER("ole32.dll", CoCreateInstance)
    create([&](REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* out) { return *out = &object, S_OK; });
    RECORDER("ole32.dll", CoTaskMemFree) free([](LPVOID) {});
    RECORDER("user32.dll", SystemParametersInfoW)
    setting([](UINT, UINT, PVOID, UINT) { return TRUE; });
    const std::string first = "GetMonitorDevicePathAt(0)=0,h1 GetWallpaper(h1)=";
    const std::string fallback = "Release() SystemParametersInfoW(115,260,p,0)=1 ";
    const Shell shells[] = {
        {2, wallpaperFile, S_OK,
         first + "0,h2 CoTaskMemFree(h2) CoTaskMemFree(h1) Release() C:\\Bilder\\Grüße 夜.jpg"},
        {2, nullptr, E_FAIL, first + "0x80004005,0 CoTaskMemFree(h1) " + fallback},
        {0, nullptr, S_OK, fallback}};
    for (shell = shells; shell != std::end(shells); ++shell) {
        clearCalls();
        expect("wallpaper lookup",
               calls + platform::nativeToUtf8(platform::systemMonitors().wallpaperPath().native()),
               "CoCreateInstance(0xc2cf3110,0,23,0xb92b56a9,p)=0 " + shell->calls);
    }
}

}  // namespace wine_check
