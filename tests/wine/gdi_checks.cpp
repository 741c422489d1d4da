// The GDI grabber on Wine's real device contexts. Wine's screen holds only its own windows, so
// the checks paint two and read them back; every acquiring and releasing call is recorded.
#include "platform/monitors.h"
#include "tests/wine/call_recorder.h"

namespace wine_check {
namespace {

using Dib = RECORDER("gdi32.dll", CreateDIBSection);

struct GdiRecorders {
    explicit GdiRecorders(
        std::function<HBITMAP(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD)> standIn = {})
        : dib(std::move(standIn)) {
        clearCalls();
    }
    RECORDER("user32.dll", GetDC) getDC;
    RECORDER("user32.dll", ReleaseDC) releaseDC;
    RECORDER("gdi32.dll", CreateCompatibleDC) createDC;
    RECORDER("gdi32.dll", DeleteDC) deleteDC;
    Dib dib;
    RECORDER("gdi32.dll", SelectObject) select;
    RECORDER("gdi32.dll", DeleteObject) deleteObject;
    RECORDER("gdi32.dll", BitBlt) bitBlt;
};

// Bytes blue, green, red of pixel (x, y) of the last grab.
std::string pixel(const platform::ScreenGrabber& grabber, int x, int y) {
    const unsigned char* p = grabber.rows() + y * grabber.rowStride() + 4 * x;
    return text(p[0]) + "," + text(p[1]) + "," + text(p[2]) + " ";
}

const std::string kMade = "GetDC(0)=h1 CreateCompatibleDC(h1)=h2 CreateDIBSection(h1,{40,";
const std::string kReleased = "DeleteDC(h2)=1 ReleaseDC(0,h1)=1 ";

}  // namespace

void gdiChecks() {
    platform::MonitorPlatform& os = platform::systemMonitors();
    {
        // A monitor of an odd width whose origin lies 50 rows into the upper window.
        Window top = window(L"top", WS_POPUP | WS_VISIBLE, {0, 0, 300, 100}, RGB(200, 100, 50));
        Window bottom =
            window(L"bottom", WS_POPUP | WS_VISIBLE, {0, 100, 300, 200}, RGB(30, 160, 240));
        platform::GrabberResult opened = os.openGrabber({1, 50, 202, 150});
        platform::ScreenGrabber& g = *opened.grabber;
        expect("grab", text(g.grab()) + " " + text(g.rowStride()), "1 804");
        expect("pixels", pixel(g, 0, 0) + pixel(g, 200, 49) + pixel(g, 0, 50) + pixel(g, 200, 99),
               "50,100,200 50,100,200 240,160,30 240,160,30 ");
    }
    {
        GdiRecorders recorders;
        os.openGrabber({0, 0, 64, 48}).grabber->grab();
        expect("release order", calls(),
               kMade +
                   "64,-48,1,32,0},0,p,0,0)=h3 SelectObject(h2,h3)=h4 "
                   "BitBlt(h2,0,0,64,48,h1,0,0,0x40cc0020)=1 SelectObject(h2,h4)=h3 "
                   "DeleteObject(h3)=1 " +
                   kReleased);
    }
    {
        // A bitmap without pixel memory is deleted unselected.
        GdiRecorders recorders([](HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                  HANDLE section, DWORD offset) {
            HBITMAP made = Dib::real(dc, info, usage, bits, section, offset);
            *bits = nullptr;
            return made;
        });
        expect("no bits", text(os.openGrabber({0, 0, 64, 48}).grabber == nullptr) + " " + calls(),
               "1 " + kMade + "64,-48,1,32,0},0,p,0,0)=h3 DeleteObject(h3)=1 " + kReleased);
    }
    // No bitmap at all (a monitor of no pixels): only the two contexts are released.
    GdiRecorders recorders;
    expect("no bitmap", text(os.openGrabber({10, 10, 10, 10}).grabber == nullptr) + " " + calls(),
           "1 " + kMade + "0,0,1,32,0},0,p,0,0)=0 " + kReleased);
}

}  // namespace wine_check
