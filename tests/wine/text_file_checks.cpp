// The UTF-8 text of UTF-16 strings, and whole files read by their UTF-16 names (outside the ANSI
// code page, one character outside the basic plane).
#include "sources/file_bytes.h"
#include "sources/to_utf8.h"
#include "tests/wine/call_recorder.h"

namespace wine_check {
namespace {

const std::wstring kName = L"Zoë Ångström – 壁紙 🌄.png";

std::string read(const std::wstring& path) {
    const std::vector<unsigned char> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

HANDLE open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

void textFileChecks() {
    clearCalls();
    {
        RECORDER("kernel32.dll", WideCharToMultiByte) convert;
        expectEqual("UTF-8", toUtf8(kName),
                    "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m \xE2\x80\x93 \xE5\xA3\x81\xE7\xB4\x99 "
                    "\xF0\x9F\x8C\x84.png");
        // The size first, then exactly that many bytes; the surrogate pair is two of the 24 units.
        expectEqual("conversion calls", calls(),
                    "WideCharToMultiByte(65001,0,p,24,0,0,0,0)=35 "
                    "WideCharToMultiByte(65001,0,p,24,p,35,0,0)=35 ");
        clearCalls();
        expectEqual("empty", toUtf8(L""), "");
        expectEqual("nothing to convert", calls(), "");
        expectEqual("embedded zero", toUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
        expectEqual("lone surrogate", toUtf8(std::wstring(L"x\xD83Cy")), "x\xEF\xBF\xBDy");
    }

    wchar_t temp[MAX_PATH];
    const std::wstring path = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + kName;
    const std::string content("VLM\r\n\x1a\0\xff\n-end", 13);  // text-mode reads would change it
    HANDLE file = open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    // Another program writing the file does not keep it from being read.
    HANDLE writer = open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    expectEqual("whole file", read(path), content);
    CloseHandle(writer);
    // Once read, the file is closed: nobody is locked out of it, not even for deleting.
    HANDLE exclusive = open(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0, OPEN_EXISTING);
    expectTrue("closed after reading", exclusive != INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
    CloseHandle(open(path, GENERIC_WRITE, 0, TRUNCATE_EXISTING));
    expectEqual("empty file", read(path), "");
    DeleteFileW(path.c_str());
    expectEqual("missing file", read(path), "");
}

}  // namespace wine_check
