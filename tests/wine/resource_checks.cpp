// The resources as the Windows loader sees them: this program links the same resource script as
// velmora.exe. Types by number, since the RT_ names follow the UNICODE setting.
#include <string_view>

#include "tests/wine/call_recorder.h"

namespace wine_check {
namespace {

std::string resourceIds(int type) {
    std::string ids;
    EnumResourceNamesW(
        nullptr, MAKEINTRESOURCEW(type),
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) -> BOOL {
            *reinterpret_cast<std::string*>(out) += text(name) + " ";
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

std::string_view resource(int type, int id) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return info == nullptr ? std::string_view()
                           : std::string_view(bytes, SizeofResource(nullptr, info));
}

// The width of the image that Windows picks from the icon group for `size` and decodes.
std::string iconWidth(std::string_view group, int size) {
    auto* directory = reinterpret_cast<BYTE*>(const_cast<char*>(group.data()));
    std::string_view image =
        resource(3, LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0));
    HICON icon =
        CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image.data())),
                                 static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size, 0);
    ICONINFO parts{};
    BITMAP colour{};
    GetIconInfo(icon, &parts);
    GetObjectW(parts.hbmColor, sizeof colour, &colour);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(icon);
    return text(colour.bmWidth) + " ";
}

}  // namespace

void resourceChecks() {
    expectEqual("icon groups", resourceIds(14), "1 ");
    expectEqual("icon images", resourceIds(3), "1 2 3 4 5 6 ");
    expectEqual("manifests", resourceIds(24), "1 ");
    std::string widths;
    for (int size : {16, 24, 32, 48, 64, 256}) {
        widths += iconWidth(resource(14, 1), size);
    }
    expectEqual("icon sizes", widths, "16 24 32 48 64 256 ");
    const std::string_view manifest = resource(24, 1);
    for (std::string_view part :
         {R"(level="asInvoker")", R"(uiAccess="false")", ">SegmentHeap</heapType>"}) {
        expectTrue("manifest holds " + std::string(part), manifest.find(part) != manifest.npos);
    }
    expectTrue("no DPI awareness in the manifest", manifest.find("dpiAware") == manifest.npos);
}

}  // namespace wine_check
