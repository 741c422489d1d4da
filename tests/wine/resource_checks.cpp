// The resources as the Windows loader sees them: this program links the same resource script as
// velmora.exe. Types by number, since the RT_ names follow the UNICODE setting.
#include "tests/wine/call_recorder.h"

namespace wine_check {
namespace {

// The numbers below 9 that name a resource of the type.
std::string ids(int type) {
    std::string out;
    for (int id = 1; id < 9; ++id) {
        out += FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type)) ? text(id) + " "
                                                                                    : "";
    }
    return out;
}

std::string resource(int type) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(type));
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return std::string(bytes, SizeofResource(nullptr, info));
}

}  // namespace

void resourceChecks() {
    expect("icon groups, images, manifests", ids(14) + "/ " + ids(3) + "/ " + ids(24),
           "1 / 1 2 3 4 5 6 / 1 ");
    // The image that Windows picks from the group for each size.
    std::string group = resource(14);
    std::string picked;
    for (int size : {16, 24, 32, 48, 64, 256}) {
        picked += text(LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(group.data()), TRUE,
                                                   size, size, 0)) +
                  " ";
    }
    expect("icon sizes 16 to 256", picked, "6 5 4 3 2 1 ");
    const std::string manifest = resource(24);
    std::string found;
    for (const char* part :
         {"level=\"asInvoker\"", "uiAccess=\"false\"", ">SegmentHeap<", "dpiAware"}) {
        found += text(manifest.find(part) != std::string::npos);
    }
    expect("manifest: asInvoker, no UI access, segment heap, no DPI awareness", found, "1110");
}

}  // namespace wine_check
