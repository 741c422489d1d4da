#include "tests/wine/call_recorder.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

namespace wine_check {

int failures = 0;
std::string calls;
std::map<const void*, std::string> names;

void clearCalls() {
    calls.clear();
    names.clear();
}

std::string text(const void* pointer, bool result) {
    const auto value = reinterpret_cast<std::intptr_t>(pointer);
    if (value > -4096 && value < 4096) {
        return std::to_string(value);
    }
    if (result && names.count(pointer) == 0) {
        names[pointer] = std::string("h") + std::to_string(names.size() + 1);
    }
    return names.count(pointer) != 0 ? names[pointer] : "p";
}

std::string text(const BITMAPINFO* info) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    return std::string("{") + text(h.biSize) + "," + text(h.biWidth) + "," + text(h.biHeight) +
           "," + text(h.biPlanes) + "," + text(h.biBitCount) + "," + text(h.biCompression) + "}";
}

// Every call of the layer into a system DLL goes through this executable's import table.
void** importSlot(const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name != 0; ++d) {
        auto* named = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; _stricmp(reinterpret_cast<char*>(base + d->Name), dll) == 0 &&
               named->u1.AddressOfData != 0;
             ++named, ++slot) {
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + named->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(named->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&slot->u1.Function);
            }
        }
    }
    return nullptr;
}

void* writeSlot(void** slot, void* value) {
    DWORD protection = 0;
    if (slot == nullptr || !VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection)) {
        return nullptr;
    }
    std::swap(*slot, value);
    VirtualProtect(slot, sizeof(void*), protection, &protection);
    return value;
}

void expect(const std::string& what, const std::string& actual, const std::string& expected) {
    if (actual != expected) {
        ++failures;
        std::fprintf(stderr, "FAIL %s:\n  expected [%s]\n  got      [%s]\n", what.c_str(),
                     expected.c_str(), actual.c_str());
    }
}

}  // namespace wine_check

// Every check group in turn; the status is the number of failures.
int main() {
    using namespace wine_check;
    for (void (*group)() : {startupChecks, comChecks, gdiChecks, resourceChecks}) {
        group();
    }
    std::fprintf(stderr, "%s\n", failures == 0 ? "ok" : "FAILED");
    return failures;
}
