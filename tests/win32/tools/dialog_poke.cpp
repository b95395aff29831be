// Acts on a top-level dialog of another program, for scripts that show the
// dialogs as a user sees them:
//   dialog_poke --click TITLE ID     posts a click of control ID
//   dialog_poke --key TITLE ID VK    posts a key press (virtual key VK) to control ID
// The exit code is 0 when the dialog was there.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 3;
    std::wstring verb = argv[1];
    HWND dialog = FindWindowW(L"#32770", argv[2]);
    if (!dialog) return 2;
    int id = static_cast<int>(std::wcstol(argv[3], nullptr, 0));
    HWND control = GetDlgItem(dialog, id);
    if (verb == L"--click") {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (verb == L"--key" && argc > 4 && control) {
        WPARAM vk = static_cast<WPARAM>(std::wcstol(argv[4], nullptr, 0));
        PostMessageW(control, WM_KEYDOWN, vk, 1);
        PostMessageW(control, WM_KEYUP, vk, 0xC0000001);
        return 0;
    }
    return 3;
}
