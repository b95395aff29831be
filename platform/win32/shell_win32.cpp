#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <commdlg.h>
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

std::optional<ChosenFile> Win32Shell::ChooseFile(const FileChoiceRequest& request) {
    // Description and pattern each end in a NUL; one more NUL ends the list.
    std::wstring filter;
    for (const auto& [description, patterns] : request.filters) {
        filter += Widen(description);
        filter.push_back(L'\0');
        filter += Widen(patterns);
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    std::wstring folder = Widen(request.initialFolder), title = Widen(request.title),
                 extension = Widen(request.defaultExtension);
    // 257 characters each, offered as 256, as the dialog has always had.
    std::wstring file(257, L'\0'), fileTitle(257, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = reinterpret_cast<HWND>(request.owner.value);
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = 256;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = 256;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = OFN_HIDEREADONLY;
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // Loaded when asked for: linked, it brings the print spooler and its
    // libraries into every program of ours, the resident one included.
    HMODULE dialogs = LoadLibraryW(L"comdlg32.dll");
    auto open = dialogs ? reinterpret_cast<decltype(&GetOpenFileNameW)>(
                              reinterpret_cast<void*>(GetProcAddress(dialogs, "GetOpenFileNameW")))
                        : nullptr;
    bool chosen = open && open(&ofn);
    if (dialogs) FreeLibrary(dialogs);
    if (!chosen) return std::nullopt;
    return ChosenFile{Narrow(file.c_str()), Narrow(fileTitle.c_str())};
}

}  // namespace platform::win32
