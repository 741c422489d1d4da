// Start-up of the process: the UTF-8 console and the DPI awareness with its fallback. Wine
// rejects the per-monitor V2 context (error 87), so the fallback runs for real here; the path
// where V2 is accepted is driven by a stand-in that reports success.
#include <windows.h>

#include <cstdint>
#include <iostream>
#include <string>

#include "platform/platform.h"
#include "tests/wine/import_hook.h"
#include "tests/wine/wine_check.h"

namespace {

std::string calls;  // "Function(arguments)=result " for every hooked call, in call order

decltype(&SetConsoleOutputCP) realSetConsoleOutputCP = nullptr;
decltype(&SetProcessDpiAwarenessContext) realSetProcessDpiAwarenessContext = nullptr;
decltype(&SetProcessDPIAware) realSetProcessDPIAware = nullptr;

void record(const std::string& call, long long result) {
    calls += call + "=" + std::to_string(result) + " ";
}

BOOL WINAPI recordSetConsoleOutputCP(UINT codePage) {
    BOOL result = realSetConsoleOutputCP(codePage);
    record("SetConsoleOutputCP(" + std::to_string(codePage) + ")", result);
    return result;
}

std::string contextText(DPI_AWARENESS_CONTEXT context) {
    return std::to_string(reinterpret_cast<std::intptr_t>(context));
}

BOOL WINAPI recordSetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    BOOL result = realSetProcessDpiAwarenessContext(context);
    record("SetProcessDpiAwarenessContext(" + contextText(context) + ")", result);
    return result;
}

BOOL WINAPI acceptSetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    record("SetProcessDpiAwarenessContext(" + contextText(context) + ")", TRUE);
    return TRUE;
}

BOOL WINAPI recordSetProcessDPIAware() {
    BOOL result = realSetProcessDPIAware();
    record("SetProcessDPIAware()", result);
    return result;
}

// Records the three start-up calls; the V2 call goes to `dpiContext`.
struct StartupHooks {
    explicit StartupHooks(void* dpiContext)
        : console("kernel32.dll", "SetConsoleOutputCP",
                  reinterpret_cast<void*>(&recordSetConsoleOutputCP)),
          context("user32.dll", "SetProcessDpiAwarenessContext", dpiContext),
          fallback("user32.dll", "SetProcessDPIAware",
                   reinterpret_cast<void*>(&recordSetProcessDPIAware)) {
        realSetConsoleOutputCP = console.original<decltype(&SetConsoleOutputCP)>();
        realSetProcessDpiAwarenessContext =
            context.original<decltype(&SetProcessDpiAwarenessContext)>();
        realSetProcessDPIAware = fallback.original<decltype(&SetProcessDPIAware)>();
        EXPECT_TRUE(console.installed());
        EXPECT_TRUE(context.installed());
        EXPECT_TRUE(fallback.installed());
    }
    ImportHook console;
    ImportHook context;
    ImportHook fallback;
};

}  // namespace

// Standard output is redirected to a file here, not a console, so Wine refuses the code page;
// the DPI calls must follow regardless.
WINE_CHECK_GROUP(startup_dpi_fallback) {
    StartupHooks hooks(reinterpret_cast<void*>(&recordSetProcessDpiAwarenessContext));
    platform::prepareProcess();
    EXPECT_EQ(calls, std::string("SetConsoleOutputCP(65001)=0 SetProcessDpiAwarenessContext(-4)=0 "
                                 "SetProcessDPIAware()=1 "));
    EXPECT_TRUE(IsProcessDPIAware());
}

WINE_CHECK_GROUP(startup_dpi_v2_accepted) {
    StartupHooks hooks(reinterpret_cast<void*>(&acceptSetProcessDpiAwarenessContext));
    platform::prepareProcess();
    EXPECT_EQ(calls,
              std::string("SetConsoleOutputCP(65001)=0 SetProcessDpiAwarenessContext(-4)=1 "));
}

// What reaches a redirected standard output after start-up: the UTF-8 bytes unchanged, each line
// feed widened to CR LF by the C runtime's text mode. The runner compares the bytes.
WINE_CHECK_GROUP(console_utf8_bytes) {
    platform::prepareProcess();
    std::cout << "mode=wallpaper\n"
              << "C:\\Users\\Zoë\\Ångström – 壁紙.jpg\n";
}
