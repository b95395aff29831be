// A stand-in for the taskbar's process: it owns a "Shell_TrayWnd" window and,
// asked with WM_COPYDATA, opens a top-level window with any caption, the way
// the taskbar opens "Shut Down Windows". It waits in GetMessage, as a real
// shell does, so other processes' event hooks see its windows.
#include <windows.h>

#include <string>

namespace {

constexpr ULONG_PTR kOpenWindow = 1;
constexpr ULONG_PTR kQuit = 2;

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
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
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
