#pragma once
// Checks of the Windows platform layer under Wine. A Recorder replaces one entry of this
// executable's import table while it lives: every call that the layer makes through it is logged
// as "Function(arguments)=result " with the real result, or with that of a stand-in.
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <type_traits>

namespace wine_check {

// The log of recorded calls; clearing it also forgets the names of the handles.
std::string& calls();
void clearCalls();

// Integers in decimal, or in hex from 2^17 on; a pointer as 0, a small number, the name h1, h2…
// that it got when a recorded call returned it first, or p.
std::string hex(unsigned long long value);
std::string text(const void* pointer, bool result = false);
std::string text(const GUID& id);
std::string text(const BITMAPINFO* info);  // header: size, width, height, planes, bits, compression
template <typename T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) std::string text(T value) {
    const auto wide = static_cast<long long>(value);
    return wide > -(1 << 17) && wide < (1 << 17) ? std::to_string(wide)
                                                 : hex(static_cast<std::make_unsigned_t<T>>(value));
}

void** importSlot(const char* dll, const char* function);
void writeSlot(void** slot, void* value);

// Report a failed expectation on standard error and count it in `failures`.
extern int failures;
void expectEqual(const std::string& what, const std::string& actual, const std::string& expected);
void expectTrue(const std::string& what, bool condition);

template <std::size_t N>
struct Name {
    constexpr Name(const char (&s)[N]) { std::copy_n(s, N, chars); }
    char chars[N];
};

template <Name dll, Name function, typename F>
class Recorder;

template <Name dll, Name function, typename R, typename... A>
class Recorder<dll, function, R(WINAPI*)(A...)> {
  public:
    using Real = R(WINAPI*)(A...);
    explicit Recorder(std::function<R(A...)> standIn = {})
        : slot_(importSlot(dll.chars, function.chars)) {
        expectTrue(std::string(function.chars) + " imported", slot_ != nullptr);
        if (slot_ != nullptr) {
            real_ = reinterpret_cast<Real>(*slot_);
            standIn_ = std::move(standIn);
            writeSlot(slot_, reinterpret_cast<void*>(&call));
        }
    }
    ~Recorder() {
        if (slot_ != nullptr) {
            writeSlot(slot_, reinterpret_cast<void*>(real_));
        }
        standIn_ = nullptr;
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    static R real(A... args) { return real_(args...); }

  private:
    static R WINAPI call(A... args) {
        std::string line = std::string(function.chars) + "(";
        ((line += text(args) + ","), ...);
        if (line.back() == ',') {
            line.pop_back();
        }
        if constexpr (std::is_void_v<R>) {
            standIn_ ? standIn_(args...) : real_(args...);
            calls() += line + ") ";
        } else {
            R result = standIn_ ? standIn_(args...) : real_(args...);
            if constexpr (std::is_pointer_v<R>) {
                calls() += line + ")=" + text(result, true) + " ";
            } else {
                calls() += line + ")=" + text(result) + " ";
            }
            return result;
        }
    }
    static inline Real real_ = nullptr;
    static inline std::function<R(A...)> standIn_;
    void** slot_;
};

#define RECORDER(dll, function) ::wine_check::Recorder<dll, #function, decltype(&function)>

// A top-level window of one solid colour, shown at once.
class TestWindow {
  public:
    TestWindow(const wchar_t* title, DWORD style, RECT bounds, COLORREF colour);
    ~TestWindow() { DestroyWindow(hwnd_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    LONG_PTR style() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }

  private:
    HWND hwnd_;
};

// The check groups, run in this order by main.
void startupChecks();
void windowFrameChecks();
void comChecks();
void gdiChecks();
void resourceChecks();
void textFileChecks();

}  // namespace wine_check
