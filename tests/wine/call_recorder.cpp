#include "tests/wine/call_recorder.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

namespace wine_check {
namespace {

std::map<const void*, std::string>& names() {
    static std::map<const void*, std::string> all;
    return all;
}

}  // namespace

int failures = 0;

std::string& calls() {
    static std::string log;
    return log;
}

void clearCalls() {
    calls().clear();
    names().clear();
}

std::string hex(unsigned long long value) {
    char out[24];
    std::snprintf(out, sizeof out, "0x%llx", value);
    return out;
}

std::string text(const void* pointer, bool result) {
    const auto value = reinterpret_cast<std::intptr_t>(pointer);
    if (value > -4096 && value < 4096) {
        return std::to_string(value);
    }
    auto found = names().find(pointer);
    if (found == names().end() && result) {
        found = names().emplace(pointer, "h" + std::to_string(names().size() + 1)).first;
    }
    return found != names().end() ? found->second : "p";
}

std::string text(const GUID& id) {
    wchar_t wide[40] = {};
    StringFromGUID2(id, wide, 40);
    return std::string(wide, wide + std::wcslen(wide));
}

std::string text(const BITMAPINFO* info) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    return "{" + text(h.biSize) + "," + text(h.biWidth) + "," + text(h.biHeight) + "," +
           text(h.biPlanes) + "," + text(h.biBitCount) + "," + text(h.biCompression) + "}";
}

// Every call into a system DLL goes through this executable's import table.
void** importSlot(const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name != 0; ++d) {
        if (_stricmp(reinterpret_cast<char*>(base + d->Name), dll) != 0) {
            continue;
        }
        auto* named = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; named->u1.AddressOfData != 0; ++named, ++slot) {
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + named->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(named->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&slot->u1.Function);
            }
        }
    }
    return nullptr;
}

void writeSlot(void** slot, void* value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
}

// Standard error only: standard output belongs to what the layer writes.
void expectEqual(const std::string& what, const std::string& actual, const std::string& expected) {
    if (actual != expected) {
        ++failures;
        std::fprintf(stderr, "FAIL %s:\n  expected [%s]\n  got      [%s]\n", what.c_str(),
                     expected.c_str(), actual.c_str());
    }
}

void expectTrue(const std::string& what, bool condition) {
    expectEqual(what, condition ? "true" : "false", "true");
}

// The colour is the window's user data; the background is painted on every erase.
TestWindow::TestWindow(const wchar_t* title, DWORD style, RECT bounds, COLORREF colour) {
    static const ATOM windowClass = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message != WM_ERASEBKGND) {
                return DefWindowProcW(hwnd, message, wParam, lParam);
            }
            RECT client;
            GetClientRect(hwnd, &client);
            HBRUSH brush =
                CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            DeleteObject(brush);
            return 1;
        };
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"VelmoraTestWindow";
        return RegisterClassW(&c);
    }();
    hwnd_ = CreateWindowExW(0, MAKEINTRESOURCEW(windowClass), title, style, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

}  // namespace wine_check
