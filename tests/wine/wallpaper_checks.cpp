// The wallpaper lookup and the COM apartment through the real layer. Wine registers no desktop
// wallpaper object (CoCreateInstance fails with 0x80040154, class not registered), so the
// SystemParametersInfoW fallback runs for real and reads what the runner stored in the registry.
// The shell object's own path is driven by a stand-in handed out by a hooked CoCreateInstance.
#include <shobjidl.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/monitors.h"
#include "tests/wine/fake_desktop_wallpaper.h"
#include "tests/wine/import_hook.h"
#include "tests/wine/wallpaper_file.h"
#include "tests/wine/wine_check.h"

namespace {

std::string calls;
FakeDesktopWallpaper* standIn = nullptr;  // handed out by CoCreateInstance when set
bool nullObject = false;                  // CoCreateInstance succeeds without an object

decltype(&CoInitializeEx) realCoInitializeEx = nullptr;
decltype(&CoUninitialize) realCoUninitialize = nullptr;
decltype(&CoCreateInstance) realCoCreateInstance = nullptr;
decltype(&CoTaskMemFree) realCoTaskMemFree = nullptr;
decltype(&SystemParametersInfoW) realSystemParametersInfoW = nullptr;

std::string hex(unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

std::string guid(REFGUID id) {
    wchar_t wide[40] = {};
    StringFromGUID2(id, wide, 40);
    std::string out;
    for (const wchar_t* c = wide; *c != 0; ++c) {
        out += static_cast<char>(*c);
    }
    return out;
}

HRESULT WINAPI recordCoInitializeEx(void* reserved, DWORD mode) {
    const HRESULT result = realCoInitializeEx(reserved, mode);
    calls += "CoInitializeEx(" + std::string(reserved == nullptr ? "0" : "?") + "," +
             std::to_string(mode) + ")=" + hex(static_cast<unsigned long>(result)) + " ";
    return result;
}

void WINAPI recordCoUninitialize() {
    realCoUninitialize();
    calls += "CoUninitialize ";
}

HRESULT WINAPI recordCoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid,
                                      void** object) {
    HRESULT result = E_FAIL;
    if (standIn != nullptr) {
        *object = nullObject ? nullptr : static_cast<IDesktopWallpaper*>(standIn);
        result = S_OK;
    } else {
        result = realCoCreateInstance(classId, outer, context, iid, object);
    }
    calls += "CoCreateInstance(" + guid(classId) + "," + (outer == nullptr ? "0" : "?") + "," +
             hex(context) + "," + guid(iid) + ")=" + hex(static_cast<unsigned long>(result)) + " ";
    return result;
}

void WINAPI recordCoTaskMemFree(void* memory) {
    std::string name = "other";
    if (standIn != nullptr && memory == standIn->monitorText) {
        name = "monitor";
    } else if (standIn != nullptr && memory == standIn->wallpaperText) {
        name = "wallpaper";
    }
    calls += "CoTaskMemFree(" + name + ") ";
    realCoTaskMemFree(memory);
}

BOOL WINAPI recordSystemParametersInfoW(UINT action, UINT size, void* buffer, UINT flags) {
    const BOOL result = realSystemParametersInfoW(action, size, buffer, flags);
    calls += "SystemParametersInfoW(" + hex(action) + "," + std::to_string(size) + "," +
             std::to_string(flags) + ")=" + std::to_string(result) + " ";
    return result;
}

template <typename Function>
void hook(ImportHook& hook, Function& real) {
    EXPECT_TRUE(hook.installed());
    real = hook.original<Function>();
}

struct ComHooks {
    ComHooks()
        : init("ole32.dll", "CoInitializeEx", reinterpret_cast<void*>(&recordCoInitializeEx)),
          uninit("ole32.dll", "CoUninitialize", reinterpret_cast<void*>(&recordCoUninitialize)),
          create("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(&recordCoCreateInstance)),
          free("ole32.dll", "CoTaskMemFree", reinterpret_cast<void*>(&recordCoTaskMemFree)),
          spi("user32.dll", "SystemParametersInfoW",
              reinterpret_cast<void*>(&recordSystemParametersInfoW)) {
        hook(init, realCoInitializeEx);
        hook(uninit, realCoUninitialize);
        hook(create, realCoCreateInstance);
        hook(free, realCoTaskMemFree);
        hook(spi, realSystemParametersInfoW);
    }
    ImportHook init;
    ImportHook uninit;
    ImportHook create;
    ImportHook free;
    ImportHook spi;
};

const std::string kCreate =
    "CoCreateInstance({C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD},0,0x17,"
    "{B92B56A9-8B55-4E14-9A89-0199BBB6F93B})=";
const std::string kFallback = "SystemParametersInfoW(0x73,260,0)=1 ";

// The lookup inside one apartment of its own, as the wallpaper source makes it.
std::wstring lookUp() {
    platform::MonitorPlatform& os = platform::systemMonitors();
    EXPECT_EQ(hex(static_cast<unsigned long>(os.initializeCom())), std::string("0x0"));
    calls.clear();
    const std::wstring path = os.wallpaperPath().native();
    os.uninitializeCom();
    return path;
}

}  // namespace

// The runner stored a wallpaper path with characters outside the ANSI code page and the basic
// plane; it arrives unchanged as UTF-16.
WINE_CHECK_GROUP(wallpaper_fallback) {
    ComHooks hooks;
    EXPECT_TRUE(!wallpaperDirectory().empty());
    EXPECT_TRUE(lookUp() == wallpaperPath());
    EXPECT_EQ(calls, kCreate + "0x80040154 " + kFallback + "CoUninitialize ");
}

// Run after the runner deleted the registry value: nothing is set, the path is empty.
WINE_CHECK_GROUP(wallpaper_unset) {
    ComHooks hooks;
    EXPECT_TRUE(lookUp().empty());
    EXPECT_EQ(calls, kCreate + "0x80040154 " + kFallback + "CoUninitialize ");
}

// The shell object's path: the first monitor in the shell's own list gives the wallpaper, both
// strings go back to the task allocator and the object is released; any failure on the way, or
// an empty path, falls back to the registry setting.
WINE_CHECK_GROUP(wallpaper_shell) {
    ComHooks hooks;
    const std::wstring registry = wallpaperPath();
    {
        FakeDesktopWallpaper shell;
        standIn = &shell;
        EXPECT_TRUE(lookUp() == std::wstring(L"C:\\Wallpapers\\first.jpg"));
        EXPECT_EQ(calls, kCreate +
                             "0x0 CoTaskMemFree(wallpaper) CoTaskMemFree(monitor) "
                             "CoUninitialize ");
        EXPECT_EQ(shell.calls, std::string("GetMonitorDevicePathCount GetMonitorDevicePathAt(0) "
                                           "GetWallpaper(\\\\?\\DISPLAY#VLM0) Release "));
        EXPECT_EQ(shell.references, ULONG{0});
    }
    const struct {
        const char* what;
        void (*script)(FakeDesktopWallpaper&);
        std::string shellCalls;
        std::string frees;
    } fallbacks[] = {
        {"count fails", [](FakeDesktopWallpaper& s) { s.countResult = E_FAIL; },
         "GetMonitorDevicePathCount Release ", ""},
        {"no monitor", [](FakeDesktopWallpaper& s) { s.monitorCount = 0; },
         "GetMonitorDevicePathCount Release ", ""},
        {"monitor fails", [](FakeDesktopWallpaper& s) { s.monitorResult = E_FAIL; },
         "GetMonitorDevicePathCount GetMonitorDevicePathAt(0) Release ", ""},
        {"wallpaper fails",
         [](FakeDesktopWallpaper& s) {
             s.wallpaperResult = E_FAIL;
             s.wallpaper = nullptr;
         },
         "GetMonitorDevicePathCount GetMonitorDevicePathAt(0) GetWallpaper(\\\\?\\DISPLAY#VLM0) "
         "Release ",
         "CoTaskMemFree(monitor) "},
        {"empty wallpaper", [](FakeDesktopWallpaper& s) { s.wallpaper = L""; },
         "GetMonitorDevicePathCount GetMonitorDevicePathAt(0) GetWallpaper(\\\\?\\DISPLAY#VLM0) "
         "Release ",
         "CoTaskMemFree(wallpaper) CoTaskMemFree(monitor) "},
    };
    for (const auto& c : fallbacks) {
        FakeDesktopWallpaper shell;
        c.script(shell);
        standIn = &shell;
        const std::string what = std::string(c.what) + ": ";
        const bool fromRegistry = lookUp() == registry;
        EXPECT_EQ(what + (fromRegistry ? "registry" : "other"), what + "registry");
        EXPECT_EQ(what + calls, what + kCreate + "0x0 " + c.frees + kFallback + "CoUninitialize ");
        EXPECT_EQ(what + shell.calls, what + c.shellCalls);
        EXPECT_EQ(shell.references, ULONG{0});
    }
    FakeDesktopWallpaper unused;
    standIn = &unused;
    nullObject = true;
    EXPECT_TRUE(lookUp() == registry);
    EXPECT_EQ(calls, kCreate + "0x0 " + kFallback + "CoUninitialize ");
    standIn = nullptr;
}

// Every initialisation, S_FALSE included, is balanced by one uninitialisation: afterwards the
// thread can enter the other apartment kind, which it could not while still in this one.
WINE_CHECK_GROUP(com_apartment) {
    ComHooks hooks;
    platform::MonitorPlatform& os = platform::systemMonitors();
    EXPECT_EQ(os.initializeCom(), std::int32_t{S_OK});
    EXPECT_EQ(os.initializeCom(), std::int32_t{S_FALSE});
    EXPECT_EQ(hex(static_cast<unsigned long>(CoInitializeEx(nullptr, COINIT_MULTITHREADED))),
              hex(static_cast<unsigned long>(RPC_E_CHANGED_MODE)));
    os.uninitializeCom();
    os.uninitializeCom();
    EXPECT_EQ(calls, std::string("CoInitializeEx(0,2)=0x0 CoInitializeEx(0,2)=0x1 "
                                 "CoInitializeEx(0,0)=0x80010106 CoUninitialize CoUninitialize "));
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}
