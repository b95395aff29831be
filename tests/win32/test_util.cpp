#include "test_util.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace testutil {

std::string ProgramFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::string path = platform::win32::Narrow(buf, n);
    return path.substr(0, path.find_last_of('\\') + 1);
}

ScratchKey::ScratchKey()
    : path_("Software\\HalcyraTests\\" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(GetTickCount64())) {}

ScratchKey::~ScratchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, platform::win32::Widen(path_).c_str());
}

}  // namespace testutil
