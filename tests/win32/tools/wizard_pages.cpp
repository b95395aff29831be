// Shows the set-up wizard's six pages one after the other, for pictures of
// them: Windows 98 with every utility, as a stand-in system gives it.
//   wizard_pages DIR [COUNTRY]   at each page writes DIR\page-N.ready and
//                                waits for DIR\page-N.done (20 s at most)
#include <windows.h>

#include <cwchar>
#include <string>

#include "daemon/halcyradForms_win32.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "platform/callback_guard.h"
#include "ui/memory/memory_ui.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"
#include "wizard/wizardRes.h"

namespace {

std::wstring g_dir;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Lets the page paint, says it is ready, and waits until its picture is taken.
void Pose(int page) {
    std::wstring stem = g_dir + L"\\page-" + std::to_wstring(page);
    MSG msg;
    for (int i = 0; i < 5; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(100);
    }
    HANDLE f = CreateFileW((stem + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    for (int i = 0; i < 200 && !Exists(stem + L".done"); ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(100);
    }
}

void Press(HWND wizard, int id) {
    SendMessageW(wizard, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(wizard, id)));
}

void CALLBACK Walk(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND wizard = GetForegroundWindow();
    if (!wizard) wizard = FindWindowW(L"#32770", nullptr);
    for (int page = 0; page < 6; ++page) {
        Pose(page);
        Press(wizard, page < 5 ? IDC_WIZ_CMDNEXT : IDC_WIZ_CMDCANCEL);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 1;
    g_dir = argv[1];
    platform::fake::FakeSystem sys;
    sys.windowsDir = "C:\\WINDOWS";
    sys.env = {{"windir", "C:\\WINDOWS"}};
    sys.drives = {{"A:\\", platform::DriveKind::Removable},
                  {"C:\\", platform::DriveKind::Fixed},
                  {"D:\\", platform::DriveKind::Fixed}};
    for (const char* f : {"C:\\WINDOWS\\defrag.exe", "C:\\Program Files\\Network Associates\\McAfee VirusScan\\scan32.exe",
                          "c:\\progra~1\\access~1\\backup\\msbackup.exe"})
        sys.files[f] = 0x20;
    platform::fake::FakeRegistry reg;
    ui::win32::NativeUi nativeUi(GetModuleHandleW(nullptr));
    daemon_forms::RegisterAll(nativeUi);
    ui::memory::MemListView list;
    wizard::ListViewRunList rows(list);
    auto country = static_cast<std::uint16_t>(argc > 2 ? std::wcstoul(argv[2], nullptr, 10) : 1033);
    basUtilityWizard::WizardContext ctx{reg, sys, 1, 3, country, platform::RootKey::CurrentUser};
    SetTimer(nullptr, 0, 100, Walk);
    basUtilityWizard::RunSetupWizard(nativeUi, nullptr, ctx, rows);
    return 0;
}
