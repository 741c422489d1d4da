#include "tests/wine/test_window.h"

namespace {

constexpr wchar_t kClassName[] = L"VelmoraTestWindow";

// The colour lives in the window's user data; the background is painted on every erase.
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(hwnd, &client);
        HBRUSH brush =
            CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerClassOnce() {
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
}

// Lets the window receive and handle its first messages (creation, erase, paint).
void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

}  // namespace

TestWindow::TestWindow(const wchar_t* title, DWORD style, RECT bounds, COLORREF colour) {
    registerClassOnce();
    hwnd_ = CreateWindowExW(0, kClassName, title, style, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
        pumpMessages();
    }
}

void TestWindow::paint(COLORREF colour) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    pumpMessages();
}

TestWindow::~TestWindow() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
        pumpMessages();
    }
}

RECT TestWindow::windowRect() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return rect;
}

RECT TestWindow::clientRect() const {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    return rect;
}
