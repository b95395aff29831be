#include "platform/win32/windows_win32.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace platform::win32 {

WindowManager::Handle Win32WindowManager::Find(const std::string& className, const std::string& title) {
    std::wstring c = Widen(className), t = Widen(title);
    HWND h = FindWindowW(className.empty() ? nullptr : c.c_str(), title.empty() ? nullptr : t.c_str());
    return {reinterpret_cast<std::uintptr_t>(h)};
}

bool Win32WindowManager::PostClose(Handle window) {
    return window && PostMessageW(reinterpret_cast<HWND>(window.value), WM_CLOSE, 0, 0);
}

// Not SMTO_BLOCK: messages sent to this thread meanwhile are answered, so a
// window that calls back while it closes cannot deadlock with us.
std::optional<std::intptr_t> Win32WindowManager::SendClose(Handle window, std::uint32_t milliseconds) {
    DWORD_PTR answer = 0;
    if (!window || !SendMessageTimeoutW(reinterpret_cast<HWND>(window.value), WM_CLOSE, 0, 0,
                                        SMTO_NORMAL | SMTO_ABORTIFHUNG, milliseconds, &answer))
        return std::nullopt;
    return static_cast<std::intptr_t>(answer);
}

std::string Win32WindowManager::Text(Handle window) {
    wchar_t buf[64] = {};
    int n = GetWindowTextW(reinterpret_cast<HWND>(window.value), buf, 63);
    return n > 0 ? Narrow(buf, static_cast<size_t>(n)) : std::string();
}

// Class names are at most 256 characters.
std::string Win32WindowManager::ClassName(Handle window) {
    wchar_t buf[257] = {};
    int n = window ? GetClassNameW(reinterpret_cast<HWND>(window.value), buf, 257) : 0;
    return n > 0 ? Narrow(buf, static_cast<size_t>(n)) : std::string();
}

std::uint32_t Win32WindowManager::ProcessOf(Handle window) {
    DWORD pid = 0;
    if (window) GetWindowThreadProcessId(reinterpret_cast<HWND>(window.value), &pid);
    return pid;
}

bool Win32WindowManager::Exists(Handle window) { return window && IsWindow(reinterpret_cast<HWND>(window.value)); }

void Win32WindowManager::BringToFront(Handle window) {
    HWND h = reinterpret_cast<HWND>(window.value);
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(h, SW_SHOWDEFAULT);
    SetForegroundWindow(h);
}

}  // namespace platform::win32
