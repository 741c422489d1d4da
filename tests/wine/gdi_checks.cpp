// The GDI grabber on Wine's real device contexts: every acquiring and releasing call is recorded,
// on success and on both failures of the factory.
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

const std::string kMade = "GetDC(0)=h1 CreateCompatibleDC(h1)=h2 CreateDIBSection(h1,{40,";
const std::string kReleased = "DeleteDC(h2)=1 ReleaseDC(0,h1)=1 ";

}  // namespace

// The whole of a monitor.
platform::CaptureArea whole(const platform::MonitorRect& monitor) {
    return {monitor, monitor, false, 0};
}

void gdiChecks() {
    platform::MonitorPlatform& os = platform::systemMonitors();
    {
        // A monitor of an odd width whose origin lies off the primary one's.
        GdiRecorders recorders;
        platform::GrabberResult opened = os.openGrabber(whole({-7, 50, 58, 98}));
        expect("stride", text(opened.grabber->rowStride()), "260");
        opened.grabber->grab();
        opened.grabber.reset();
        expect("release order", calls,
               kMade +
                   "65,-48,1,32,0},0,p,0,0)=h3 SelectObject(h2,h3)=h4 "
                   "BitBlt(h2,0,0,65,48,h1,-7,50,0x40cc0020)=1 SelectObject(h2,h4)=h3 "
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
        expect("no bits",
               text(os.openGrabber(whole({0, 0, 64, 48})).grabber == nullptr) + " " + calls,
               std::string("1 ") + kMade + "64,-48,1,32,0},0,p,0,0)=h3 DeleteObject(h3)=1 " +
                   kReleased);
    }
    {
        // A region: the bitmap and the copy are of the region alone, from its own origin.
        GdiRecorders recorders;
        platform::GrabberResult opened =
            os.openGrabber({{0, 0, 64, 48}, {10, 20, 30, 40}, false, 0});
        opened.grabber->grab();
        opened.grabber.reset();
        expect("region", calls,
               kMade +
                   "20,-20,1,32,0},0,p,0,0)=h3 SelectObject(h2,h3)=h4 "
                   "BitBlt(h2,0,0,20,20,h1,10,20,0x40cc0020)=1 SelectObject(h2,h4)=h3 "
                   "DeleteObject(h3)=1 " +
                   kReleased);
    }
    // No bitmap at all (a monitor of no pixels): only the two contexts are released.
    GdiRecorders recorders;
    expect("no bitmap",
           text(os.openGrabber(whole({10, 10, 10, 10})).grabber == nullptr) + " " + calls,
           std::string("1 ") + kMade + "0,0,1,32,0},0,p,0,0)=0 " + kReleased);
}

}  // namespace wine_check
