// The frame fix-up on real windows: the caption, sizing border and maximise box bits are
// added to the style that the window already has, the frame is recomputed, and only the
// window with exactly the given title is touched.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "tests/wine/import_hook.h"
#include "tests/wine/test_window.h"
#include "tests/wine/wine_check.h"

namespace {

std::string calls;

decltype(&SetWindowLongPtrW) realSetWindowLongPtrW = nullptr;
decltype(&SetWindowPos) realSetWindowPos = nullptr;

std::string hex(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

LONG_PTR WINAPI recordSetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    calls += "SetWindowLongPtrW(" + std::to_string(index) + "," +
             hex(static_cast<unsigned long long>(value)) + ") ";
    return realSetWindowLongPtrW(hwnd, index, value);
}

BOOL WINAPI recordSetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    calls += "SetWindowPos(" + hex(flags) + ") ";
    return realSetWindowPos(hwnd, after, x, y, cx, cy, flags);
}

struct FrameHooks {
    FrameHooks()
        : setStyle("user32.dll", "SetWindowLongPtrW",
                   reinterpret_cast<void*>(&recordSetWindowLongPtrW)),
          setPos("user32.dll", "SetWindowPos", reinterpret_cast<void*>(&recordSetWindowPos)) {
        realSetWindowLongPtrW = setStyle.original<decltype(&SetWindowLongPtrW)>();
        realSetWindowPos = setPos.original<decltype(&SetWindowPos)>();
        EXPECT_TRUE(setStyle.installed());
        EXPECT_TRUE(setPos.installed());
    }
    ImportHook setStyle;
    ImportHook setPos;
};

// Bits that the fix-up must keep; the minimise box also shows that it clears nothing, and the
// missing system menu that it adds only its own three bits.
constexpr DWORD kStartStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_MINIMIZEBOX;
constexpr LONG_PTR kFrameBits = 0x00C50000;

int height(const RECT& rect) {
    return rect.bottom - rect.top;
}

}  // namespace

WINE_CHECK_GROUP(window_frame) {
    TestWindow frame(L"Velmora", kStartStyle, {0, 0, 320, 240}, RGB(200, 40, 40));
    TestWindow gray(L"Velmora - Gray", kStartStyle, {340, 0, 660, 240}, RGB(40, 40, 200));
    EXPECT_TRUE(frame.handle() != nullptr && gray.handle() != nullptr);
    const RECT outerBefore = frame.windowRect();
    const int clientHeightBefore = height(frame.clientRect());

    FrameHooks hooks;
    platform::fixWindowFrame("Velmora");

    EXPECT_EQ(hex(frame.style()), hex(kStartStyle | kFrameBits));
    EXPECT_EQ(hex(gray.style()), hex(kStartStyle));
    EXPECT_EQ(calls,
              "SetWindowLongPtrW(-16," + hex(kStartStyle | kFrameBits) + ") SetWindowPos(0x27) ");
    // The new caption and border take their room inside the unchanged window rectangle.
    const RECT outerAfter = frame.windowRect();
    EXPECT_TRUE(EqualRect(&outerBefore, &outerAfter));
    EXPECT_TRUE(height(frame.clientRect()) < clientHeightBefore);

    calls.clear();
    platform::fixWindowFrame("Velmora - Gray");
    EXPECT_EQ(hex(gray.style()), hex(kStartStyle | kFrameBits));
    platform::fixWindowFrame("Velmora - Gray");
    EXPECT_EQ(hex(gray.style()), hex(kStartStyle | kFrameBits));
}

WINE_CHECK_GROUP(window_frame_without_window) {
    TestWindow frame(L"Velmora", kStartStyle, {0, 0, 320, 240}, RGB(200, 40, 40));
    FrameHooks hooks;
    platform::fixWindowFrame("Histogram - Gray");
    platform::fixWindowFrame("Velmor");
    EXPECT_EQ(calls, std::string());
    EXPECT_EQ(hex(frame.style()), hex(kStartStyle));
}
