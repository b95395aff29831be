#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "platform/win32/text.h"

namespace platform::win32 {

bool Win32Shell::NotifyIcon(TrayMessage message, const TrayIconData& data) {
    // The platform's own record size: a 64-bit shell refuses the old 32-bit one.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = reinterpret_cast<HWND>(data.owner.value);
    nid.uID = data.id;
    nid.uFlags = data.flags;
    nid.uCallbackMessage = data.callbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(data.icon.value);
    std::wstring tip = Widen(data.tip);
    if (tip.size() > 63) tip.resize(63);
    lstrcpynW(nid.szTip, tip.c_str(), 64);
    DWORD msg = message == TrayMessage::Add ? NIM_ADD : message == TrayMessage::Modify ? NIM_MODIFY : NIM_DELETE;
    return Shell_NotifyIconW(msg, &nid) != FALSE;
}

void Win32Shell::HideTaskbarButton(WindowHandle window) {
    HWND hwnd = reinterpret_cast<HWND>(window.value);
    // A tool window gets no taskbar button; the dialog keeps its normal caption.
    LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW));
    ITaskbarList* list = nullptr;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                                   reinterpret_cast<void**>(&list)))) {
        if (SUCCEEDED(list->HrInit())) list->DeleteTab(hwnd);
        list->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
}

bool Win32Shell::Open(const std::string& target) {
    auto rc = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return rc > 32;
}

std::string Win32Shell::AssociatedProgram(const std::string& document, std::error_code& error) {
    error.clear();
    wchar_t program[MAX_PATH] = L"";
    auto rc = reinterpret_cast<INT_PTR>(FindExecutableW(Widen(document).c_str(), L"", program));
    if (rc > 32) return Narrow(program, wcsnlen(program, MAX_PATH));
    // The shell's own codes for "no association" and "out of memory" are not
    // system error numbers; the others are.
    int code = rc == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : rc == 0 ? ERROR_NOT_ENOUGH_MEMORY : static_cast<int>(rc);
    error.assign(code, std::system_category());
    return {};
}

}  // namespace platform::win32
