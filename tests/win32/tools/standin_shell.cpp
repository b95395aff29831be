// A stand-in for the taskbar's process: it owns a "Shell_TrayWnd" window and,
// asked with WM_COPYDATA, opens a top-level window with any caption, the way
// the taskbar opens "Shut Down Windows". It waits in GetMessage, as a real
// shell does, so other processes' event hooks see its windows.
//
// With arguments it is a client of the running stand-in, for scripts:
//   --open CAPTION   the stand-in opens a window with that caption
//   --close CAPTION  the stand-in's windows with that caption are closed
//   --quit           the stand-in ends
// The exit code is 0 when the request was carried out.
#include <windows.h>

#include "standin_protocol.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using standin::kOpenWindow;
using standin::kQuit;

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
        if (cds->dwData == kQuit) {
            PostQuitMessage(0);
            return 1;
        }
        if (cds->dwData == kOpenWindow) {
            std::wstring caption(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
            HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, L"StandInDialog", caption.c_str(),
                                          WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 300, 250, 320, 160,
                                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            return reinterpret_cast<LRESULT>(dialog);
        }
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

int Client(int argc, wchar_t** argv) {
    std::wstring verb = argv[1];
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
        for (HWND w = FindWindowExW(nullptr, nullptr, L"StandInDialog", caption.c_str()); w;
             w = FindWindowExW(nullptr, w, L"StandInDialog", caption.c_str())) {
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
    if (__argc > 1) return Client(__argc, __wargv);
    WNDCLASSW tray{};
    tray.lpfnWndProc = TrayProc;
    tray.hInstance = instance;
    tray.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&tray);
    WNDCLASSW dialog{};
    dialog.lpfnWndProc = DialogProc;
    dialog.hInstance = instance;
    dialog.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    dialog.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    dialog.lpszClassName = L"StandInDialog";
    RegisterClassW(&dialog);
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
