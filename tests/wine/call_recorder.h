#pragma once
// Checks of the Windows platform layer under Wine. A Recorder replaces one entry of this
// executable's import table while it lives: every call that the layer makes through it is logged
// as "Function(arguments)=result " with the real result, or with that of a stand-in.
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace wine_check {

extern std::string calls;
void clearCalls();  // also forgets the handle names

// Integers in decimal, or in hex from 2^17 on; a pointer as 0, a small number, the name h1, h2…
// that it got when a recorded call returned it first, or p.
std::string text(const void* pointer, bool result = false);
std::string text(const BITMAPINFO* info);  // header: size, width, height, planes, bits, compression
template <typename T>
requires std::is_integral_v<T> std::string text(T value, bool = false) {
    const auto wide = static_cast<long long>(value);
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llx", wide & (~0ULL >> (64 - 8 * sizeof(T))));
    return wide > -(1 << 17) && wide < (1 << 17) ? std::to_string(wide) : hex;
}
// A class or interface identifier by its first part.
inline std::string text(const GUID& id, bool = false) {
    return text(id.Data1);
}

// The import table entry of a function of a DLL; null when this executable does not import it.
void** importSlot(const char* dll, const char* function);
void* writeSlot(void** slot, void* value);  // returns the previous value; no-op on null

// A differing pair is reported on standard error and counted in `failures`.
extern int failures;
void expect(const std::string& what, const std::string& actual, const std::string& expected);

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
    explicit Recorder(std::function<R(A...)> standIn = {})
        : slot_(importSlot(dll.chars, function.chars)) {
        standIn_ = std::move(standIn);
        real_ =
            reinterpret_cast<R(WINAPI*)(A...)>(writeSlot(slot_, reinterpret_cast<void*>(&call)));
    }
    ~Recorder() { writeSlot(slot_, reinterpret_cast<void*>(real_)); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    static R real(A... args) { return real_(args...); }

  private:
    static R WINAPI call(A... args) {
        std::string list;
        ((list += std::string(",") + text(args)), ...);
        const std::string line =
            std::string(function.chars) + "(" + list.substr(list.empty() ? 0 : 1) + ")";
        if constexpr (std::is_void_v<R>) {
            standIn_ ? standIn_(args...) : real_(args...);
            calls += line + " ";
        } else {
            R result = standIn_ ? standIn_(args...) : real_(args...);
            calls += line + "=" + text(result, true) + " ";
            return result;
        }
    }
    void** slot_;
    static inline R(WINAPI* real_)(A...) = nullptr;
    static inline std::function<R(A...)> standIn_;
};

#define RECORDER(dll, function) ::wine_check::Recorder<dll, #function, decltype(&function)>

void startupChecks();
void comChecks();
void gdiChecks();
void resourceChecks();

}  // namespace wine_check
