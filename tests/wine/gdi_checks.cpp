// The GDI grabber on Wine's real device contexts. Wine's screen holds only its own windows, so
// the checks paint two and read them back; every acquiring and releasing call is recorded.
#include "platform/monitors.h"
#include "tests/wine/call_recorder.h"

namespace wine_check {
namespace {

using Dib = RECORDER("gdi32.dll", CreateDIBSection);

struct GdiRecorders {
    explicit GdiRecorders(
        std::function<HBITMAP(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD)> dibStandIn = {})
        : dib(std::move(dibStandIn)) {
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

const std::string kOpened = "GetDC(0)=h1 CreateCompatibleDC(h1)=h2 CreateDIBSection(h1,";

}  // namespace

void gdiChecks() {
    platform::MonitorPlatform& os = platform::systemMonitors();
    {
        // A monitor of an odd width whose origin lies 50 rows into the upper window.
        TestWindow top(L"top", WS_POPUP | WS_VISIBLE, {0, 0, 300, 100}, RGB(200, 100, 50));
        TestWindow bottom(L"bottom", WS_POPUP | WS_VISIBLE, {0, 100, 300, 200}, RGB(30, 160, 240));
        platform::GrabberResult opened = os.openGrabber({1, 50, 202, 150});
        expectTrue("grab", opened.grabber != nullptr && opened.grabber->grab());
        if (opened.grabber != nullptr) {
            const platform::ScreenGrabber& g = *opened.grabber;
            expectEqual("stride", text(g.rowStride()), "804");
            expectEqual("pixels",
                        pixel(g, 0, 0) + pixel(g, 200, 49) + pixel(g, 0, 50) + pixel(g, 200, 99),
                        "50,100,200 50,100,200 240,160,30 240,160,30 ");
        }
    }
    {
        GdiRecorders recorders;
        {
            platform::GrabberResult opened = os.openGrabber({0, 0, 64, 48});
            expectTrue("grab", opened.grabber != nullptr && opened.grabber->grab());
        }
        expectEqual("release order", calls(),
                    kOpened +
                        "{40,64,-48,1,32,0},0,p,0,0)=h3 SelectObject(h2,h3)=h4 "
                        "BitBlt(h2,0,0,64,48,h1,0,0,0x40cc0020)=1 SelectObject(h2,h4)=h3 "
                        "DeleteObject(h3)=1 DeleteDC(h2)=1 ReleaseDC(0,h1)=1 ");
    }
    {
        // A bitmap without pixel memory is deleted unselected.
        GdiRecorders recorders([](HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                  HANDLE section, DWORD offset) {
            HBITMAP made = Dib::real(dc, info, usage, bits, section, offset);
            *bits = nullptr;
            return made;
        });
        expectTrue("no bits",
                   os.openGrabber({0, 0, 64, 48}).failure == platform::GrabberFailure::NoBitmap);
        expectEqual("no bits", calls(),
                    kOpened +
                        "{40,64,-48,1,32,0},0,p,0,0)=h3 DeleteObject(h3)=1 DeleteDC(h2)=1 "
                        "ReleaseDC(0,h1)=1 ");
    }
    // No bitmap at all (a monitor of no pixels): only the two contexts are released.
    GdiRecorders recorders;
    expectTrue("no bitmap",
               os.openGrabber({10, 10, 10, 10}).failure == platform::GrabberFailure::NoBitmap);
    expectEqual("no bitmap", calls(),
                kOpened + "{40,0,0,1,32,0},0,p,0,0)=0 DeleteDC(h2)=1 ReleaseDC(0,h1)=1 ");
}

}  // namespace wine_check
