// The daemon's dialog logic on the real template, controls and adapters.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "common/basCountry.h"
#include "common/basRegistry.h"
#include "common/basWinVer.h"
#include "daemon/basDaemon.h"
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
    int tpp = nativeUi.TwipsPerPixelY();
    EXPECT_EQ((r.bottom - r.top) * tpp, halcyrad::frmMain::kCollapsedTwips / tpp * tpp);
    SendDlgItemMessageW(dlg, IDC_MAIN_CMDDETAILS, BM_CLICK, 0, 0);
    GetWindowRect(dlg, &r);
    EXPECT_EQ((r.bottom - r.top) * tpp, halcyrad::frmMain::kExpandedTwips / tpp * tpp);
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
