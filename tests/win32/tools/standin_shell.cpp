// A stand-in for the taskbar's process: it owns a "Shell_TrayWnd" window and,
// asked with WM_COPYDATA, opens a dialog with any caption, the way the
// taskbar opens "Shut Down Windows", or a folder window with any caption. It waits in GetMessage, as a real
// shell does, so other processes' event hooks see its windows.
//
// Started with "--record FILE" it appends a line to FILE for each
// WM_QUERYENDSESSION ("queryendsession LPARAM ANSWER US") and WM_ENDSESSION
// ("endsession WPARAM US") its taskbar window receives, US being
// QueryPerformanceCounter in microseconds, the same clock in every process;
// with "--refuse" as well it answers WM_QUERYENDSESSION with FALSE. With
// It keeps the notification area itself, as Wine hands Shell_NotifyIcon to
// "Shell_TrayWnd", and takes every icon; with "--icons-after N" the first N
// adds are refused, as a taskbar still starting refuses them, and each
// request is recorded ("icon MESSAGE OWNER ID CALLBACK ANSWER US").
//
// With other arguments it is a client of the running stand-in, for scripts:
//   --open CAPTION   the stand-in opens a dialog with that caption
//   --close CAPTION  the stand-in's windows with that caption are closed
//   --quit           the stand-in ends
// The exit code is 0 when the request was carried out. On its own:
//   --exit-windows FLAGS  ends the session as the Start menu's power button
//                         does: the shutdown right on, then ExitWindowsEx
//                         with FLAGS (decimal); the exit code is 0 or the
//                         system's status.
//
// For scripts/bench it also times, from its own side, how long another
// program takes to show its window after the stand-in starts creating one
// (standin::TimedOpen).
#include <windows.h>

#include "standin_protocol.h"

#include <atomic>
#include <set>
#include <utility>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

using standin::kOpenFolder;
using standin::kOpenTimed;
using standin::kOpenWindow;
using standin::kQuit;

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL)) {
        DestroyWindow(hwnd);
        return TRUE;
    }
    return FALSE;
}

// A modeless dialog of the system's dialog class, from a template in memory:
// no controls, no menu, the default class and the caption.
HWND OpenWindow(const wchar_t* caption) {
    std::vector<DWORD> buffer(sizeof(DLGTEMPLATE) / sizeof(DWORD) + 4 + lstrlenW(caption));
    auto* t = reinterpret_cast<DLGTEMPLATE*>(buffer.data());
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    t->x = 200;
    t->y = 150;
    t->cx = 214;
    t->cy = 80;
    WORD* p = reinterpret_cast<WORD*>(reinterpret_cast<BYTE*>(t) + sizeof(DLGTEMPLATE));
    *p++ = 0;  // no menu
    *p++ = 0;  // the dialog class
    lstrcpyW(reinterpret_cast<wchar_t*>(p), caption);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t, nullptr, DialogProc, 0);
}

HWND OpenFolder(const wchar_t* caption) {
    return CreateWindowExW(0, L"CabinetWClass", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 100, 480, 320,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The clock starts on this thread just before it creates the window; the
// watcher, started beforehand so that its start-up is not counted, stops it
// when the target is visible. Meanwhile this thread takes one of its own
// messages (sent or posted) every stepMs at most: a program that sends to it
// waits up to that long, and the close another program posts is handled
// while it may still be showing its own window.
LRESULT OpenTimed(const standin::TimedOpen& request) {
    HWND target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(request.target));
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!go) return -1;
    std::atomic<LONGLONG> start{0};
    LONGLONG visible = 0;
    std::thread watcher([&] {
        WaitForSingleObject(go, INFINITE);
        const LONGLONG end = start + 5 * freq.QuadPart;
        for (LONGLONG now = Now(); now < end; now = Now()) {
            if (IsWindowVisible(target)) {
                visible = now;
                return;
            }
            Sleep(1);  // a millisecond's resolution, without taking a core from the programs measured
        }
    });
    Sleep(20);  // let the watcher reach its wait
    wchar_t caption[64];
    lstrcpynW(caption, request.caption, 64);
    const LONGLONG t0 = Now();
    start = t0;
    SetEvent(go);
    OpenWindow(caption);
    const LONGLONG busyEnd = t0 + freq.QuadPart * request.busyMs / 1000;
    const LONGLONG step = freq.QuadPart * request.stepMs / 1000;
    for (LONGLONG next = t0 + step; Now() < busyEnd;) {
        if (!step || Now() < next) continue;
        next += step;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    watcher.join();
    CloseHandle(go);
    return visible ? static_cast<LRESULT>((visible - t0) * 1000000 / freq.QuadPart) : -1;
}

std::wstring recordFile;
bool refuse = false;
// It keeps the notification area as a started taskbar does, taking every
// icon; "--icons-after N" refuses the first N adds and records each request.
int iconRefusals = 0;  // adds still to refuse
bool recordIcons = false;
std::set<std::pair<LONG, UINT>> icons;

// Wine's own record of a request: the owner window, the id, the flags and
// the callback message come first.
struct NotifyHead {
    LONG owner;
    UINT id;
    UINT flags;
    UINT callbackMessage;
};


long long MicrosecondsNow() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return c.QuadPart / f.QuadPart * 1000000 + (c.QuadPart % f.QuadPart) * 1000000 / f.QuadPart;
}

void Record(const std::string& line) {
    if (recordFile.empty()) return;
    HANDLE f = CreateFileW(recordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string text = line + " " + std::to_string(MicrosecondsNow()) + "\r\n";
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

LRESULT IconRequest(ULONG_PTR message, const NotifyHead& n) {
    auto key = std::make_pair(n.owner, n.id);
    bool ok = false;
    if (message == 0) {  // NIM_ADD
        if (iconRefusals > 0) --iconRefusals;
        else ok = icons.insert(key).second;
    } else if (message == 1) {  // NIM_MODIFY
        ok = icons.count(key) > 0;
    } else {  // NIM_DELETE
        ok = icons.erase(key) > 0;
    }
    if (recordIcons)
        Record("icon " + std::to_string(message) + " " + std::to_string(static_cast<unsigned long>(n.owner)) + " " +
               std::to_string(n.id) + " " + std::to_string(n.callbackMessage) + (ok ? " 1" : " 0"));
    return ok ? TRUE : FALSE;
}

LRESULT CALLBACK FolderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_QUERYENDSESSION) {
        Record("queryendsession " + std::to_string(static_cast<unsigned long long>(lp)) + (refuse ? " 0" : " 1"));
        return refuse ? FALSE : TRUE;
    }
    if (msg == WM_ENDSESSION) {
        Record("endsession " + std::to_string(static_cast<unsigned long long>(wp)));
        return 0;
    }
    if (msg == WM_COPYDATA) {
        auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
        if (cds->dwData == kQuit) {
            PostQuitMessage(0);
            return 1;
        }
        if (cds->dwData == kOpenWindow || cds->dwData == kOpenFolder) {
            std::wstring caption(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
            return reinterpret_cast<LRESULT>(cds->dwData == kOpenWindow ? OpenWindow(caption.c_str())
                                                                         : OpenFolder(caption.c_str()));
        }
        if (cds->dwData <= 2 && cds->cbData >= sizeof(NotifyHead))
            return IconRequest(cds->dwData, *static_cast<const NotifyHead*>(cds->lpData));
        if (cds->dwData == kOpenTimed && cds->cbData == sizeof(standin::TimedOpen))
            return OpenTimed(*static_cast<const standin::TimedOpen*>(cds->lpData));
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

std::wstring ImageOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return {};
    wchar_t path[MAX_PATH];
    DWORD n = MAX_PATH;
    std::wstring image;
    if (QueryFullProcessImageNameW(process, 0, path, &n)) image.assign(path, n);
    CloseHandle(process);
    return image;
}

// The "Shell_TrayWnd" of another copy of this program: Wine's own taskbar
// window has that class too.
HWND FindServer() {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring image(self, n);
    for (HWND w = FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr); w;
         w = FindWindowExW(nullptr, w, L"Shell_TrayWnd", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() && lstrcmpiW(ImageOf(pid).c_str(), image.c_str()) == 0) return w;
    }
    return nullptr;
}

DWORD ExitWindowsNow(UINT flags) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return GetLastError();
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    // The failing step's status, or ERROR_NOT_ALL_ASSIGNED where the token lacks the right.
    DWORD status = GetLastError();
    CloseHandle(token);
    if (status != ERROR_SUCCESS) return status;
    // Planned, "other".
    return ExitWindowsEx(flags, 0x80000000) ? 0 : GetLastError();
}

int Client(int argc, wchar_t** argv) {
    std::wstring verb = argv[1];
    if (verb == L"--exit-windows")
        return argc < 3 ? 3 : static_cast<int>(ExitWindowsNow(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10))));
    HWND server = FindServer();
    if (!server) return 2;
    if (verb == L"--quit") {
        COPYDATASTRUCT cds{kQuit, 0, nullptr};
        return SendMessageW(server, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)) ? 0 : 1;
    }
    if (argc < 3) return 3;
    std::wstring caption = argv[2];
    if (verb == L"--open") {
        COPYDATASTRUCT cds{kOpenWindow, static_cast<DWORD>(caption.size() * sizeof(wchar_t)), caption.data()};
        return SendMessageW(server, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)) ? 0 : 1;
    }
    if (verb == L"--close") {
        DWORD serverPid = 0;
        GetWindowThreadProcessId(server, &serverPid);
        std::vector<HWND> windows;
        for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, caption.c_str()); w;
             w = FindWindowExW(nullptr, w, nullptr, caption.c_str())) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == serverPid) windows.push_back(w);
        }
        // Sent, not posted: the windows are gone when this returns.
        for (HWND w : windows) SendMessageW(w, WM_CLOSE, 0, 0);
        return windows.empty() ? 1 : 0;
    }
    return 3;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (__argc > 2 && std::wstring(__wargv[1]) == L"--record") {
        recordFile = __wargv[2];
        for (int i = 3; i < __argc; ++i) {
            std::wstring arg = __wargv[i];
            if (arg == L"--refuse") refuse = true;
            if (arg == L"--icons-after" && i + 1 < __argc) {
                iconRefusals = _wtoi(__wargv[++i]);
                recordIcons = true;
            }
        }
    } else if (__argc > 1) {
        return Client(__argc, __wargv);
    }
    WNDCLASSW tray{};
    tray.lpfnWndProc = TrayProc;
    tray.hInstance = instance;
    tray.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&tray);
    WNDCLASSW folder{};
    folder.lpfnWndProc = FolderProc;
    folder.hInstance = instance;
    folder.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    folder.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    folder.lpszClassName = L"CabinetWClass";
    RegisterClassW(&folder);
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                         nullptr))
        return 1;
    // As a starting taskbar does: programs put their icons back and hook it.
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
