// Start-up, the window frame and the COM apartment through the real layer. Wine refuses the
// per-monitor V2 context (error 87), so the fallback runs for real; the accepted case is a
// stand-in. Standard output is no console here, so Wine refuses the code page too.
#include "platform/monitors.h"
#include "platform/platform.h"
#include "tests/wine/call_recorder.h"

namespace wine_check {

void startupChecks() {
    for (const char* v2 : {"1 ", "0 SetProcessDPIAware()=1 "}) {
        clearCalls();
        RECORDER("kernel32.dll", SetConsoleOutputCP) codePage;
        RECORDER("user32.dll", SetProcessDpiAwarenessContext)
        context(v2[0] == '1' ? [](DPI_AWARENESS_CONTEXT) { return TRUE; }
                             : std::function<BOOL(DPI_AWARENESS_CONTEXT)>());
        RECORDER("user32.dll", SetProcessDPIAware) fallback;
        platform::prepareProcess();
        expect("start-up", calls(),
               "SetConsoleOutputCP(65001)=0 SetProcessDpiAwarenessContext(-4)=" + std::string(v2));
    }
    expect("DPI aware", text(IsProcessDPIAware()), "1");
}

// Caption, sizing border and maximise box are added to the style the window has; only the
// window with exactly the given title is touched.
void windowFrameChecks() {
    constexpr LONG_PTR kStart = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_MINIMIZEBOX;
    Window frame = window(L"Velmora", kStart, {0, 0, 320, 240}, RGB(200, 40, 40));
    Window gray = window(L"Velmora - Gray", kStart, {340, 0, 660, 240}, RGB(40, 40, 200));
    clearCalls();
    {
        RECORDER("user32.dll", SetWindowLongPtrW) setStyle;
        RECORDER("user32.dll", SetWindowPos) setPos;
        platform::fixWindowFrame("Velmor");
        platform::fixWindowFrame("Velmora");
    }
    expect("frame calls", calls(),
           "SetWindowLongPtrW(p,-16," + text(kStart | 0x00C50000) + ")=" + text(kStart) +
               " SetWindowPos(p,0,0,0,0,0,39)=1 ");
    expect("styles",
           text(GetWindowLongPtrW(frame.get(), GWL_STYLE)) + " " +
               text(GetWindowLongPtrW(gray.get(), GWL_STYLE)),
           text(kStart | 0x00C50000) + " " + text(kStart));
}

// Every initialisation, S_FALSE included, is balanced by one uninitialisation: afterwards the
// thread can enter the other apartment kind. Wine registers no desktop wallpaper object, so the
// lookup falls back to the setting, which is not set here.
void comChecks() {
    clearCalls();
    {
        RECORDER("ole32.dll", CoInitializeEx) init;
        RECORDER("ole32.dll", CoUninitialize) uninit;
        RECORDER("ole32.dll", CoCreateInstance) create;
        RECORDER("user32.dll", SystemParametersInfoW) setting;
        platform::MonitorPlatform& os = platform::systemMonitors();
        const std::int32_t first = os.initializeCom();
        expect("S_OK, then S_FALSE", text(first) + text(os.initializeCom()), "01");
        expect("no wallpaper", os.wallpaperPath().string(), "");
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        os.uninitializeCom();
        os.uninitializeCom();
    }
    expect("COM calls", calls(),
           "CoInitializeEx(0,2)=0 CoInitializeEx(0,2)=1 "
           "CoCreateInstance({C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD},0,23,"
           "{B92B56A9-8B55-4E14-9A89-0199BBB6F93B},p)=0x80040154 "
           "SystemParametersInfoW(115,260,p,0)=1 CoInitializeEx(0,0)=0x80010106 "
           "CoUninitialize() CoUninitialize() ");
    expect("apartment left", text(CoInitializeEx(nullptr, COINIT_MULTITHREADED)), "0");
    CoUninitialize();
}

}  // namespace wine_check
