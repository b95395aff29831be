// The least a program can do to notice the taskbar's shutdown dialog: an
// out-of-context WinEvent hook on the taskbar's process, a caption test in
// the callback, ShowWindow on its own hidden window and then WM_CLOSE posted
// to the dialog, with nothing deferred or loaded. The benchmark's floor for
// interception. With --send-close it instead sends the dialog WM_CLOSE and
// waits for it before showing: that shows what such a wait costs.
#include <windows.h>

#include <cwchar>

namespace {

const wchar_t kCaption[] = L"Shut Down Windows";
HWND g_window = nullptr;
bool g_sendClose = false;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (!hwnd || idObject != OBJID_WINDOW || idChild != CHILDID_SELF || IsWindowVisible(g_window)) return;
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 63);
    if (lstrcmpiW(text, kCaption) != 0) return;
    if (g_sendClose) SendMessageW(hwnd, WM_CLOSE, 0, 0);
    ShowWindow(g_window, SW_SHOW);
    if (!g_sendClose) PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        // Hidden again for the next trial, as the daemon does.
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_sendClose = commandLine && wcsstr(commandLine, L"--send-close");
    DWORD shell = 0;
    GetWindowThreadProcessId(FindWindowW(L"Shell_TrayWnd", L""), &shell);
    if (!shell) return 1;
    // The same events the daemon listens to.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnEvent, shell, 0,
                                         WINEVENT_OUTOFCONTEXT);
    if (!hook) return 1;
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"HookFloor";
    RegisterClassW(&wc);
    g_window = CreateWindowExW(0, wc.lpszClassName, L"Hook floor", WS_OVERLAPPEDWINDOW, 40, 40, 240, 120, nullptr,
                               nullptr, instance, nullptr);
    if (!g_window) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    return 0;
}
