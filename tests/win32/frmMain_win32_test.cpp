// The daemon's dialog logic on the real template, controls and adapters.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>

#include "common/basCountry.h"
#include "common/basRegistry.h"
#include "common/basWinVer.h"
#include "daemon/basDaemon.h"
#include "common/basTrayIcon.h"
#include "daemon/frmMain.h"
#include "daemon/halcyradForms_win32.h"
#include "daemon/halcyradRes.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"


namespace {

std::wstring ItemText(HWND dlg, int id) {
    wchar_t buf[256] = {};
    GetDlgItemTextW(dlg, id, buf, 256);
    return buf;
}

std::wstring ComboItem(HWND dlg, int index) {
    wchar_t buf[256] = {};
    SendDlgItemMessageW(dlg, IDC_MAIN_CMBSHUTDOWN, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::wstring Header(HWND list, int column) {
    wchar_t buf[64] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buf;
    col.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
    return buf;
}

class NativeShutdownDialog : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        // The set-up wizard has run before: on a first use it would wait for a user.
        HKEY k;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(k, L"RanQuickStart", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"True"), 8);
            RegCloseKey(k);
        }
        daemon_forms::RegisterAll(nativeUi);
        form = nativeUi.CreateForm("frmMain", nullptr);
        main = std::make_unique<halcyrad::frmMain>(nativeUi, *form, plat, state);
    }
    void TearDown() override {
        main->Form_Unload();
        main.reset();
        form.reset();
    }
    HWND Dialog() const { return reinterpret_cast<HWND>(form->Handle().value); }

    platform::win32::Win32Platform win32;
    platform::Platform& plat = win32.plat;
    platform::win32::Win32Registry& registry = win32.registry;
    platform::win32::Win32System& system = win32.system;
    ui::win32::NativeUi nativeUi{GetModuleHandleW(nullptr)};
    halcyrad::DaemonState state;
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<halcyrad::frmMain> main;
};

TEST_F(NativeShutdownDialog, EnglishWindows2000LayoutFromTheTemplate) {
    main->Form_Load();
    HWND dlg = Dialog();
    wchar_t cls[64];
    GetClassNameW(dlg, cls, 64);
    EXPECT_STREQ(cls, L"HalcyraDaemon");
    EXPECT_FALSE(IsWindowVisible(dlg));
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_LBLTITLE), L"What do you want the computer to do?");
    std::wstring user = platform::win32::Widen(system.UserName());
    EXPECT_EQ(ComboItem(dlg, 0), L"Logoff " + user);
    EXPECT_EQ(ComboItem(dlg, 1), L"Shut down");
    EXPECT_EQ(ComboItem(dlg, 2), L"Restart");
    EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_MAIN_CMBSHUTDOWN, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_LBLEXPLAIN), L"Ends your session, leaving the computer running on full power.");
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_CMDOK), L"OK");
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_CMDCANCEL), L"Cancel");
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_CMDHELP), L"Help");
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_CMDDETAILS), L"&Details >>");
    for (int id : {IDC_MAIN_OPTSHUTDOWN, IDC_MAIN_OPTRESTART, IDC_MAIN_OPTMSDOS, IDC_MAIN_OPTLOGOFF})
        EXPECT_FALSE(GetWindowLongW(GetDlgItem(dlg, id), GWL_STYLE) & WS_VISIBLE) << id;
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_CHKRUNTHISFIRST), L"Run checked programs before exiting Windows");
    HWND list = GetDlgItem(dlg, IDC_MAIN_LSVRUN);
    EXPECT_EQ(Header(list, 0), L"Programs");
    EXPECT_EQ(Header(list, 1), L"Days Run");
    DWORD ex = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(ex & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
    wchar_t item[64] = {};
    SendDlgItemMessageW(dlg, IDC_MAIN_LSTSTOP, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"No services are set to stop.");
}

TEST_F(NativeShutdownDialog, DetailsResizeByTwipsAndRunListFromSettings) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &k, nullptr),
              ERROR_SUCCESS);
    auto put = [&](const wchar_t* n, const wchar_t* v) {
        RegSetValueExW(k, n, 0, REG_SZ, reinterpret_cast<const BYTE*>(v), static_cast<DWORD>(wcslen(v) * 2));
    };
    put(L"RunList", L"Défragmenter,Backup,");
    put(L"SelectedList", L"1,");
    put(L"dowBackup", L"246");
    put(L"roBackup", L"True");
    RegCloseKey(k);
    main->Form_Load();
    HWND dlg = Dialog();
    RECT r;
    GetWindowRect(dlg, &r);
    HDC dc = GetDC(nullptr);
    const double dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(r.bottom - r.top, std::lround(halcyrad::frmMain::kCollapsedTwips * dpi / 1440.0));
    SendDlgItemMessageW(dlg, IDC_MAIN_CMDDETAILS, BM_CLICK, 0, 0);
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.bottom - r.top, std::lround(halcyrad::frmMain::kExpandedTwips * dpi / 1440.0));
    EXPECT_EQ(ItemText(dlg, IDC_MAIN_CMDDETAILS), L"<< &Details");

    HWND list = GetDlgItem(dlg, IDC_MAIN_LSVRUN);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(main->lsvRun.GetItemText(0, 0), "Défragmenter");
    EXPECT_EQ(main->lsvRun.GetItemText(1, 1), "MWF(1)");
    EXPECT_FALSE(main->lsvRun.IsItemChecked(0));
    EXPECT_TRUE(main->lsvRun.IsItemChecked(1));
    // Cancel writes what the list shows back to the settings.
    main->lsvRun.CheckItem(0);
    SendDlgItemMessageW(dlg, IDC_MAIN_CMDCANCEL, BM_CLICK, 0, 0);
    EXPECT_EQ(basRegistry::ReadValue(registry, platform::RootKey::CurrentUser, "Software\\Halcyra\\Settings",
                                     "SelectedList", ""),
              "0,1,");
    EXPECT_EQ(basRegistry::ReadValue(registry, platform::RootKey::CurrentUser, "Software\\Halcyra\\Settings",
                                     "ShowDetails", ""),
              "<<");
}

}  // namespace

// The screen's resolution is read once per process, so each resolution is
// measured in a child run of this test program after the prefix's LogPixels
// has been set.
TEST_F(NativeShutdownDialog, SizesAtTheResolutionOfTheScreen) {
    wchar_t expected[16] = {};
    if (!GetEnvironmentVariableW(L"HALCYRA_EXPECT_DPI", expected, 16)) GTEST_SKIP() << "run by HighDpi";
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    ASSERT_EQ(dpi, _wtoi(expected));
    main->Form_Load();
    RECT r;
    GetWindowRect(Dialog(), &r);
    // 3225 twips at 96, 144, 192 dpi: 215, 322.5 (322 or 323), 430 pixels.
    EXPECT_NEAR(r.bottom - r.top, halcyrad::frmMain::kCollapsedTwips * dpi / 1440.0, 0.5);
    SendDlgItemMessageW(Dialog(), IDC_MAIN_CMDDETAILS, BM_CLICK, 0, 0);
    GetWindowRect(Dialog(), &r);
    EXPECT_NEAR(r.bottom - r.top, halcyrad::frmMain::kExpandedTwips * dpi / 1440.0, 0.5);
}

TEST(HighDpi, DialogSizesAt96And144And192Dpi) {
    HKEY desktop;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &desktop, nullptr),
              ERROR_SUCCESS);
    // The prefix keeps its own resolution whatever happens here.
    struct Restore {
        HKEY key;
        DWORD saved = 0;
        bool had = false;
        ~Restore() {
            SetEnvironmentVariableW(L"HALCYRA_EXPECT_DPI", nullptr);
            if (had) RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved), sizeof saved);
            else RegDeleteValueW(key, L"LogPixels");
            RegCloseKey(key);
        }
    } restore{desktop};
    DWORD size = sizeof restore.saved;
    restore.had = RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&restore.saved),
                                   &size) == ERROR_SUCCESS;
    for (DWORD dpi : {96u, 144u, 192u}) {
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        SetEnvironmentVariableW(L"HALCYRA_EXPECT_DPI", std::to_wstring(dpi).c_str());
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring cmd = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=NativeShutdownDialog.SizesAtTheResolutionOfTheScreen";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        EXPECT_EQ(code, 0u) << dpi << " dpi";
    }
}

namespace {

UINT g_defaultEntry = 0;

// While the tray menu is open: notes its default entry, then picks the
// second entry (About) from the keyboard.
void CALLBACK PickFromTrayMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu) return;
    KillTimer(nullptr, id);
    auto popup = reinterpret_cast<HMENU>(SendMessageW(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
    g_defaultEntry = GetMenuDefaultItem(popup, FALSE, 0);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageW(menu, WM_KEYDOWN, key, 0);
        PostMessageW(menu, WM_KEYUP, key, 0);
    }
}

}  // namespace

TEST_F(NativeShutdownDialog, TrayMenuHasShutdownAsDefaultAndAChoiceRunsIt) {
    main->Form_Load();
    int about = 0;
    main->OnAbout = [&] { ++about; };
    g_defaultEntry = 0;
    SetTimer(nullptr, 0, 50, PickFromTrayMenu);
    main->Tray_MouseMessage(static_cast<int>(basTrayIcon::kMouseRightUp));
    EXPECT_EQ(g_defaultEntry, static_cast<UINT>(IDM_SELSHUTDOWN));
    EXPECT_EQ(about, 1);
}
