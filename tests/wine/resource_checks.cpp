// The resources as the Windows loader sees them in a linked executable: this program carries
// the same resource script as velmora.exe.
#include <windows.h>

#include <vector>

#include "tests/wine/wine_check.h"

namespace {

// Resource types by number: the RT_ names of the headers follow the UNICODE setting.
constexpr int kIcon = 3;
constexpr int kGroupIcon = 14;
constexpr int kManifest = 24;

std::vector<ULONG_PTR> resourceIds(int type) {
    std::vector<ULONG_PTR> ids;
    EnumResourceNamesW(
        nullptr, MAKEINTRESOURCEW(type),
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<ULONG_PTR>*>(list)->push_back(
                IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

struct ResourceBytes {
    BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes resource(int type, int id) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    if (info == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, info);
    return {static_cast<BYTE*>(LockResource(loaded)), SizeofResource(nullptr, info)};
}

// Picks the image of `size` from the icon group and decodes it as Windows would.
int decodedIconWidth(BYTE* group, int size) {
    int iconId = LookupIconIdFromDirectoryEx(group, TRUE, size, size, LR_DEFAULTCOLOR);
    ResourceBytes image = resource(kIcon, iconId);
    if (image.data == nullptr) {
        return -1;
    }
    HICON icon = CreateIconFromResourceEx(image.data, image.size, TRUE, 0x00030000, size, size, 0);
    if (icon == nullptr) {
        return -2;
    }
    ICONINFO parts{};
    BITMAP colour{};
    GetIconInfo(icon, &parts);
    GetObjectW(parts.hbmColor, sizeof colour, &colour);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(icon);
    return colour.bmWidth;
}

}  // namespace

WINE_CHECK_GROUP(embedded_resources) {
    const std::vector<ULONG_PTR> one{1};
    EXPECT_TRUE(resourceIds(kGroupIcon) == one);
    EXPECT_EQ(resourceIds(kIcon).size(), 6u);
    EXPECT_TRUE(resourceIds(kManifest) == one);

    ResourceBytes group = resource(kGroupIcon, 1);
    EXPECT_TRUE(group.data != nullptr);
    if (group.data == nullptr) {
        return;
    }
    for (int size : {16, 24, 32, 48, 64, 256}) {
        EXPECT_EQ(decodedIconWidth(group.data, size), size);
    }
}
