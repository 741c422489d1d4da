#include <objbase.h>
#include <shlobj.h>

#include "platform/owner.h"
#include "platform/platform.h"

namespace platform {

std::filesystem::path picturesFolder() {
    Owner<wchar_t, CoTaskMemFree> path;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, outParam(path));
    return SUCCEEDED(found) && path ? std::filesystem::path(path.get()) : std::filesystem::path();
}

}  // namespace platform
