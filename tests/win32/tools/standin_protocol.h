#pragma once
// WM_COPYDATA requests to the stand-in taskbar. Wine's Shell_NotifyIcon also
// talks to "Shell_TrayWnd" with WM_COPYDATA (dwData 0, 1 or 2), so the
// requests carry numbers no tray message uses.
#include <windows.h>

namespace standin {

// A dialog (class "#32770"), as the taskbar's own shut-down dialog is.
constexpr ULONG_PTR kOpenWindow = 0x48430001;  // data: the caption, UTF-16; returns the HWND
constexpr ULONG_PTR kQuit = 0x48430002;
// data: TimedOpen; returns microseconds from the start of the window's creation
// to `target` being visible, or -1 when it was not within 5 s
constexpr ULONG_PTR kOpenTimed = 0x48430003;
// A plain top-level window of a folder's class ("CabinetWClass"), which the
// taskbar's process also shows.
constexpr ULONG_PTR kOpenFolder = 0x48430004;  // data: the caption, UTF-16; returns the HWND

// Opens a window with the caption as kOpenWindow does, with the thread kept
// busy for busyMs from the start, the way a real taskbar is while it creates
// and shows its dialog; a second thread of the stand-in watches `target`.
struct TimedOpen {
    unsigned long long target;  // an HWND of another process
    unsigned busyMs;
    unsigned stepMs;            // while busy, one message of its own every stepMs; 0: none
    wchar_t caption[64];        // NUL-terminated
};

}  // namespace standin
