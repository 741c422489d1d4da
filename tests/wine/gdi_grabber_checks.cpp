// The GDI grabber on Wine's real device contexts. Wine's screen holds only its own windows (the
// X root reads black), so the checks paint windows of known colours and read them back: row
// order of the top-down DIB, byte order blue, green, red, unused, and the monitor origin as the
// source of the copy. The release checks record every acquiring and releasing call through the
// import table and look each handle up again once it should be gone.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/monitors.h"
#include "tests/wine/import_hook.h"
#include "tests/wine/test_window.h"
#include "tests/wine/wine_check.h"

namespace {

constexpr COLORREF kTopColour = RGB(200, 100, 50);
constexpr COLORREF kBottomColour = RGB(30, 160, 240);

// "B,G,R xCOUNT" for each run of rows whose pixels all match, "mixed" for a row that does not.
std::string rowRuns(const platform::ScreenGrabber& grabber, int width, int height) {
    std::string runs;
    std::string previous;
    int count = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = grabber.rows() + y * grabber.rowStride();
        char text[32];
        std::snprintf(text, sizeof text, "%d,%d,%d", row[0], row[1], row[2]);
        std::string summary = text;
        for (int x = 1; x < width; ++x) {
            if (row[4 * x] != row[0] || row[4 * x + 1] != row[1] || row[4 * x + 2] != row[2]) {
                summary = "mixed";
            }
        }
        if (summary != previous && count > 0) {
            runs += previous + " x" + std::to_string(count) + "; ";
            count = 0;
        }
        previous = summary;
        ++count;
    }
    return runs + previous + " x" + std::to_string(count);
}

std::string hex(unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

// Every handle that the hooked calls return gets a name in the order it is first seen.
std::map<const void*, std::string> names;
std::string calls;

std::string nameOf(const void* handle, const char* fresh = nullptr) {
    if (handle == nullptr) {
        return "0";
    }
    auto found = names.find(handle);
    if (found == names.end()) {
        found = names.emplace(handle, fresh != nullptr ? fresh : "other").first;
    }
    return found->second;
}

bool dropBits = false;  // CreateDIBSection reports its bitmap but no pixel memory

decltype(&GetDC) realGetDC = nullptr;
decltype(&ReleaseDC) realReleaseDC = nullptr;
decltype(&CreateCompatibleDC) realCreateCompatibleDC = nullptr;
decltype(&DeleteDC) realDeleteDC = nullptr;
decltype(&CreateDIBSection) realCreateDIBSection = nullptr;
decltype(&SelectObject) realSelectObject = nullptr;
decltype(&DeleteObject) realDeleteObject = nullptr;
decltype(&BitBlt) realBitBlt = nullptr;

HDC WINAPI recordGetDC(HWND window) {
    HDC result = realGetDC(window);
    calls += "GetDC(" + nameOf(window) + ")=" + nameOf(result, "screen") + " ";
    return result;
}

int WINAPI recordReleaseDC(HWND window, HDC dc) {
    int result = realReleaseDC(window, dc);
    calls += "ReleaseDC(" + nameOf(window) + "," + nameOf(dc) + ")=" + std::to_string(result) + " ";
    return result;
}

HDC WINAPI recordCreateCompatibleDC(HDC dc) {
    HDC result = realCreateCompatibleDC(dc);
    calls += "CreateCompatibleDC(" + nameOf(dc) + ")=" + nameOf(result, "memory") + " ";
    return result;
}

BOOL WINAPI recordDeleteDC(HDC dc) {
    BOOL result = realDeleteDC(dc);
    calls += "DeleteDC(" + nameOf(dc) + ")=" + std::to_string(result) + " ";
    return result;
}

HBITMAP WINAPI recordCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                      HANDLE section, DWORD offset) {
    HBITMAP result = realCreateDIBSection(dc, info, usage, bits, section, offset);
    if (dropBits) {
        *bits = nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    calls += "CreateDIBSection(" + nameOf(dc) + "," + std::to_string(header.biSize) + "," +
             std::to_string(header.biWidth) + "," + std::to_string(header.biHeight) + "," +
             std::to_string(header.biPlanes) + "," + std::to_string(header.biBitCount) + "," +
             std::to_string(header.biCompression) + "," + std::to_string(usage) + "," +
             nameOf(section) + "," + std::to_string(offset) + ")=" + nameOf(result, "dib") + " ";
    return result;
}

HGDIOBJ WINAPI recordSelectObject(HDC dc, HGDIOBJ object) {
    HGDIOBJ result = realSelectObject(dc, object);
    calls += "SelectObject(" + nameOf(dc) + "," + nameOf(object) +
             ")=" + nameOf(result, "previous") + " ";
    return result;
}

BOOL WINAPI recordDeleteObject(HGDIOBJ object) {
    BOOL result = realDeleteObject(object);
    calls += "DeleteObject(" + nameOf(object) + ")=" + std::to_string(result) + " ";
    return result;
}

BOOL WINAPI recordBitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                         int sourceY, DWORD operation) {
    BOOL result = realBitBlt(target, x, y, width, height, source, sourceX, sourceY, operation);
    calls += "BitBlt(" + nameOf(target) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
             std::to_string(width) + "," + std::to_string(height) + "," + nameOf(source) + "," +
             std::to_string(sourceX) + "," + std::to_string(sourceY) + "," + hex(operation) +
             ")=" + std::to_string(result) + " ";
    return result;
}

template <typename Function>
void hook(ImportHook& hook, Function& real) {
    EXPECT_TRUE(hook.installed());
    real = hook.original<Function>();
}

struct GdiHooks {
    GdiHooks()
        : getDC("user32.dll", "GetDC", reinterpret_cast<void*>(&recordGetDC)),
          releaseDC("user32.dll", "ReleaseDC", reinterpret_cast<void*>(&recordReleaseDC)),
          createDC("gdi32.dll", "CreateCompatibleDC",
                   reinterpret_cast<void*>(&recordCreateCompatibleDC)),
          deleteDC("gdi32.dll", "DeleteDC", reinterpret_cast<void*>(&recordDeleteDC)),
          createDib("gdi32.dll", "CreateDIBSection",
                    reinterpret_cast<void*>(&recordCreateDIBSection)),
          select("gdi32.dll", "SelectObject", reinterpret_cast<void*>(&recordSelectObject)),
          deleteObject("gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&recordDeleteObject)),
          bitBlt("gdi32.dll", "BitBlt", reinterpret_cast<void*>(&recordBitBlt)) {
        hook(getDC, realGetDC);
        hook(releaseDC, realReleaseDC);
        hook(createDC, realCreateCompatibleDC);
        hook(deleteDC, realDeleteDC);
        hook(createDib, realCreateDIBSection);
        hook(select, realSelectObject);
        hook(deleteObject, realDeleteObject);
        hook(bitBlt, realBitBlt);
    }
    ImportHook getDC;
    ImportHook releaseDC;
    ImportHook createDC;
    ImportHook deleteDC;
    ImportHook createDib;
    ImportHook select;
    ImportHook deleteObject;
    ImportHook bitBlt;
};

// The handle that the hooks named `name`.
const void* handleNamed(const std::string& name) {
    for (const auto& [handle, named] : names) {
        if (named == name) {
            return handle;
        }
    }
    return nullptr;
}

DWORD objectType(const std::string& name) {
    return GetObjectType(const_cast<void*>(handleNamed(name)));
}

}  // namespace

// Two windows stacked on each other, 201 pixels wide (an odd width), 100 rows each.
WINE_CHECK_GROUP(gdi_capture_rows_and_bytes) {
    TestWindow top(L"top", WS_POPUP | WS_VISIBLE, {0, 0, 201, 100}, kTopColour);
    TestWindow bottom(L"bottom", WS_POPUP | WS_VISIBLE, {0, 100, 201, 200}, kBottomColour);
    EXPECT_TRUE(top.handle() != nullptr && bottom.handle() != nullptr);

    platform::GrabberResult whole = platform::systemMonitors().openGrabber({0, 0, 201, 200});
    EXPECT_TRUE(whole.grabber != nullptr);
    if (whole.grabber == nullptr) {
        return;
    }
    EXPECT_EQ(whole.grabber->rowStride(), std::size_t{201 * 4});
    EXPECT_TRUE(whole.grabber->grab());
    EXPECT_EQ(rowRuns(*whole.grabber, 201, 200), std::string("50,100,200 x100; 240,160,30 x100"));

    // The copy starts at the monitor's own origin: 50 rows lower, 1 column to the right.
    platform::GrabberResult lower = platform::systemMonitors().openGrabber({1, 50, 201, 150});
    EXPECT_TRUE(lower.grabber != nullptr && lower.grabber->grab());
    if (lower.grabber != nullptr) {
        EXPECT_EQ(rowRuns(*lower.grabber, 200, 100), std::string("50,100,200 x50; 240,160,30 x50"));
    }

    // Every grab copies the screen anew into the same memory.
    const unsigned char* rows = whole.grabber->rows();
    top.paint(kBottomColour);
    EXPECT_TRUE(whole.grabber->grab());
    EXPECT_TRUE(whole.grabber->rows() == rows);
    EXPECT_EQ(rowRuns(*whole.grabber, 201, 200), std::string("240,160,30 x200"));
}

// The destructor puts the displaced bitmap back, then deletes the DIB section, the memory
// context and releases the screen's, after which none of the made objects exists any more.
// (GetGuiResources cannot count them here: Wine reports 0 GDI objects for every process.)
WINE_CHECK_GROUP(gdi_release_order) {
    {
        GdiHooks hooks;
        platform::GrabberResult opened = platform::systemMonitors().openGrabber({0, 0, 64, 48});
        EXPECT_TRUE(opened.grabber != nullptr);
        EXPECT_EQ(calls, std::string("GetDC(0)=screen CreateCompatibleDC(screen)=memory "
                                     "CreateDIBSection(screen,40,64,-48,1,32,0,0,0,0)=dib "
                                     "SelectObject(memory,dib)=previous "));
        EXPECT_EQ(objectType("previous"), DWORD{OBJ_BITMAP});
        calls.clear();
        if (opened.grabber != nullptr) {
            EXPECT_TRUE(opened.grabber->grab());
        }
        EXPECT_EQ(calls, std::string("BitBlt(memory,0,0,64,48,screen,0,0,0x40cc0020)=1 "));
        calls.clear();
    }
    EXPECT_EQ(calls, std::string("SelectObject(memory,previous)=dib DeleteObject(dib)=1 "
                                 "DeleteDC(memory)=1 ReleaseDC(0,screen)=1 "));
    EXPECT_EQ(objectType("dib"), DWORD{0});
    EXPECT_EQ(objectType("memory"), DWORD{0});
    // The screen's context comes from the system's cache and stays a context once given back,
    // so only the ReleaseDC call above shows that it was.
    EXPECT_EQ(objectType("previous"), DWORD{OBJ_BITMAP});  // a stock object, never ours to delete
}

// A DIB section without pixel memory is deleted unselected; one that could not be made (a
// monitor of no pixels) leaves only the two contexts to release.
WINE_CHECK_GROUP(gdi_failed_factory) {
    GdiHooks hooks;
    dropBits = true;
    platform::GrabberResult noBits = platform::systemMonitors().openGrabber({0, 0, 64, 48});
    EXPECT_TRUE(noBits.grabber == nullptr);
    EXPECT_TRUE(noBits.failure == platform::GrabberFailure::NoBitmap);
    EXPECT_EQ(calls, std::string("GetDC(0)=screen CreateCompatibleDC(screen)=memory "
                                 "CreateDIBSection(screen,40,64,-48,1,32,0,0,0,0)=dib "
                                 "DeleteObject(dib)=1 DeleteDC(memory)=1 ReleaseDC(0,screen)=1 "));
    EXPECT_EQ(objectType("dib"), DWORD{0});
    EXPECT_EQ(objectType("memory"), DWORD{0});

    dropBits = false;
    calls.clear();
    names.clear();
    platform::GrabberResult empty = platform::systemMonitors().openGrabber({10, 10, 10, 10});
    EXPECT_TRUE(empty.grabber == nullptr);
    EXPECT_TRUE(empty.failure == platform::GrabberFailure::NoBitmap);
    EXPECT_EQ(calls, std::string("GetDC(0)=screen CreateCompatibleDC(screen)=memory "
                                 "CreateDIBSection(screen,40,0,0,1,32,0,0,0,0)=0 "
                                 "DeleteDC(memory)=1 ReleaseDC(0,screen)=1 "));
    EXPECT_EQ(objectType("memory"), DWORD{0});
}
