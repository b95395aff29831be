#include "platform/win32/windows_win32.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace platform::win32 {

WindowManager::Handle Win32WindowManager::Find(const std::string& className, const std::string& title) {
    std::wstring c = Widen(className), t = Widen(title);
    HWND h = FindWindowW(className.empty() ? nullptr : c.c_str(), title.empty() ? nullptr : t.c_str());
    return reinterpret_cast<Handle>(h);
}

bool Win32WindowManager::PostClose(Handle window) {
    return window && PostMessageW(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0);
}

}  // namespace platform::win32
