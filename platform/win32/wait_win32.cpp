#include "platform/win32/wait_win32.h"

namespace platform::win32 {

namespace {

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) || message == WM_NCXBUTTONDOWN ||
           message == WM_NCXBUTTONUP || message == WM_NCXBUTTONDBLCLK;
}

bool TakesInput(HWND window) {
    HWND root = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
    return root && ::GetPropW(root, kInputDuringWaitsProp) != nullptr;
}

}  // namespace

DWORD WaitAnswering(HANDLE handle, DWORD ms) {
    // GetTickCount's difference is right across its wrap; a wait is far
    // shorter than its 49 days.
    const DWORD start = ::GetTickCount();
    const DWORD count = handle ? 1 : 0;
    bool quit = false;
    WPARAM quitCode = 0;
    DWORD result = WAIT_FAILED;
    for (;;) {
        DWORD spent = ::GetTickCount() - start;
        DWORD left = spent >= ms ? 0 : ms - spent;
        DWORD r = ::MsgWaitForMultipleObjectsEx(count, handle ? &handle : nullptr, left, QS_ALLINPUT,
                                                MWMO_INPUTAVAILABLE);
        if (r != WAIT_OBJECT_0 + count) {
            result = r;
            break;
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            if (IsInput(msg.message) && !TakesInput(msg.hwnd)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (!handle && ::GetTickCount() - start >= ms) {
            result = WAIT_TIMEOUT;
            break;
        }
    }
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

}  // namespace platform::win32
