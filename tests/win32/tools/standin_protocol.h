#pragma once
// WM_COPYDATA requests to the stand-in taskbar. Wine's Shell_NotifyIcon also
// talks to "Shell_TrayWnd" with WM_COPYDATA (dwData 0, 1 or 2), so the
// requests carry numbers no tray message uses.
#include <windows.h>

namespace standin {

constexpr ULONG_PTR kOpenWindow = 0x48430001;  // data: the caption, UTF-16; returns the HWND
constexpr ULONG_PTR kQuit = 0x48430002;

}  // namespace standin
