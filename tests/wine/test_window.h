#pragma once
// A top-level window of one solid colour that a check creates, finds by title and inspects.
#include <windows.h>

class TestWindow {
  public:
    TestWindow(const wchar_t* title, DWORD style, RECT bounds, COLORREF colour);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return hwnd_; }
    // Paints the whole window in `colour` and hands the result on to the screen.
    void paint(COLORREF colour);
    LONG_PTR style() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }
    RECT windowRect() const;
    RECT clientRect() const;

  private:
    HWND hwnd_ = nullptr;
};
