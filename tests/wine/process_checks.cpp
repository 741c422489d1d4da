// Start-up and the COM apartment through the real layer, where a run of the whole program cannot
// show them: a system that accepts the per-monitor V2 context (Wine refuses it; the accepted
// case is a stand-in), and a thread already in the apartment.
#include "platform/monitors.h"
#include "platform/platform.h"
#include "tests/wine/call_recorder.h"

namespace wine_check {

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
        const std::int32_t first = os.initializeCom();
        expect("S_OK, then S_FALSE", text(first) + text(os.initializeCom()), "01");
        os.uninitializeCom();
        os.uninitializeCom();
    }
    expect("COM calls", calls,
           "CoInitializeEx(0,2)=0 CoInitializeEx(0,2)=1 CoUninitialize() CoUninitialize() ");
}

}  // namespace wine_check
