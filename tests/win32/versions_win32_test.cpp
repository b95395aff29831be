// The real programs with Wine reporting another Windows version (the value
// "Version" of HKCU\Software\Wine, read by each process as it starts): the
// daemon intercepts the shut-down dialog and shows the layout and texts of
// that version; the applet opens with its four pages.
#include <windows.h>
#include <commctrl.h>
#include <lmcons.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "applet/halcfgRes.h"
#include "daemon/halcyradRes.h"
#include "test_util.h"
#include "tools/standin_protocol.h"

namespace {

using testutil::Process;
using testutil::TextOf;
using testutil::WaitFor;

struct VersionCase {
    const wchar_t* wine;      // Wine's name for the version
    DWORD major, minor;       // what GetVersionEx must then report
    bool comboLayout;         // NT 5 and later: the drop-down list
    const wchar_t* title;     // lblTitle
    const wchar_t* ok;        // cmdOK
    const wchar_t* cancel;    // cmdCancel
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << std::string(c.wine, c.wine + wcslen(c.wine)); }

HWND TopLevel(const wchar_t* cls, const wchar_t* title, DWORD pid) {
    for (HWND w = FindWindowExW(nullptr, nullptr, cls, title); w; w = FindWindowExW(nullptr, w, cls, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

class WindowsVersion : public ::testing::TestWithParam<VersionCase> {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                  &wine_, nullptr),
                  ERROR_SUCCESS);
        wchar_t old[64];
        DWORD size = sizeof old, type = 0;
        if (RegQueryValueExW(wine_, L"Version", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            previous_.assign(old, size / sizeof(wchar_t) - 1);
        const std::wstring v = GetParam().wine;
        ASSERT_EQ(RegSetValueExW(wine_, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                                 static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        Setting(L"RanQuickStart", L"True");
        Setting(L"ShutdownType", L"Shutdown");
    }
    void TearDown() override {
        applet.Kill();
        daemon.Kill();
        shell.Kill();
        if (previous_.empty())
            RegDeleteValueW(wine_, L"Version");
        else
            RegSetValueExW(wine_, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_.c_str()),
                           static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(wine_);
    }
    static void Setting(const wchar_t* name, const wchar_t* value) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
    }
    static bool Shown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

    HKEY wine_ = nullptr;
    std::wstring previous_;
    Process shell, daemon, applet;
};

TEST_P(WindowsVersion, TheDaemonReplacesTheDialogWithThisVersionsLayoutAndTexts) {
    const VersionCase& c = GetParam();
    // A program started now reports the version.
    Process probe;
    ASSERT_TRUE(probe.Start("\"" + testutil::ProgramFolder() + "exit_with.exe\" --winver"));
    ASSERT_TRUE(WaitFor([&] { return !probe.Running(); }));
    EXPECT_EQ(probe.ExitCode(), c.major * 100 + c.minor);

    ASSERT_TRUE(shell.Start("\"" + testutil::ProgramFolder() + "standin_shell.exe\""));
    HWND tray = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tray = TopLevel(L"Shell_TrayWnd", nullptr, shell.pi.dwProcessId)) != nullptr; }));
    ASSERT_TRUE(daemon.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\""));
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = TopLevel(L"HalcyraDaemon", nullptr, daemon.pi.dwProcessId)) != nullptr; }));
    Sleep(300);
    std::wstring caption = L"Shut Down Windows";
    COPYDATASTRUCT cds{standin::kOpenWindow, static_cast<DWORD>(caption.size() * sizeof(wchar_t)), caption.data()};
    HWND system = reinterpret_cast<HWND>(SendMessageW(tray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)));
    ASSERT_NE(system, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));

    EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_LBLTITLE)), c.title);
    EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_CMDOK)), c.ok);
    EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_CMDCANCEL)), c.cancel);
    EXPECT_EQ(Shown(main, IDC_MAIN_CMBSHUTDOWN), c.comboLayout);
    EXPECT_EQ(Shown(main, IDC_MAIN_LBLEXPLAIN), c.comboLayout);
    EXPECT_EQ(Shown(main, IDC_MAIN_OPTSHUTDOWN), !c.comboLayout);
    EXPECT_EQ(Shown(main, IDC_MAIN_OPTRESTART), !c.comboLayout);
    EXPECT_EQ(Shown(main, IDC_MAIN_OPTLOGOFF), !c.comboLayout);
    EXPECT_FALSE(Shown(main, IDC_MAIN_OPTMSDOS));  // no MS-DOS mode on NT
    if (c.comboLayout) {
        wchar_t user[UNLEN + 1];
        DWORD n = UNLEN + 1;
        ASSERT_TRUE(GetUserNameW(user, &n));
        HWND combo = GetDlgItem(main, IDC_MAIN_CMBSHUTDOWN);
        std::vector<std::wstring> items;
        for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t item[256] = {};
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            items.emplace_back(item);
        }
        EXPECT_EQ(items, (std::vector<std::wstring>{std::wstring(L"Logoff ") + user, L"Shut down", L"Restart"}));
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_LBLEXPLAIN)),
                  L"Ends your session and shuts down Windows so that you can safely turn off power.");
    } else {
        EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_OPTSHUTDOWN)), L"&Shut down the computer?");
        EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_OPTRESTART)), L"&Restart the computer?");
        EXPECT_EQ(TextOf(GetDlgItem(main, IDC_MAIN_OPTLOGOFF)),
                  L"&Close all programs and log on as a different user?");
        EXPECT_EQ(SendDlgItemMessageW(main, IDC_MAIN_OPTSHUTDOWN, BM_GETCHECK, 0, 0), BST_CHECKED);
    }
}

TEST_P(WindowsVersion, TheAppletOpensWithItsFourPages) {
    ASSERT_TRUE(applet.Start("rundll32.exe shell32.dll,Control_RunDLL \"" + testutil::ProgramFolder() +
                             "halcfg.cpl\""));
    HWND settings = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return (settings = TopLevel(L"#32770", L"Halcyra Settings", applet.pi.dwProcessId)) != nullptr &&
               IsWindowVisible(settings);
    }));
    HWND tabs = FindWindowExW(settings, nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    PostMessageW(settings, WM_COMMAND, MAKEWPARAM(IDC_CFG_CMDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(settings, IDC_CFG_CMDCANCEL)));
    EXPECT_TRUE(WaitFor([&] { return !applet.Running(); }));
}

// English texts; Windows 2000, XP and 10 show the NT 5 dialog, NT 4 its own.
INSTANTIATE_TEST_SUITE_P(
    Wine, WindowsVersion,
    ::testing::Values(
        VersionCase{L"win2k", 5, 0, true, L"What do you want the computer to do?", L"OK", L"Cancel"},
        VersionCase{L"winxp", 5, 1, true, L"What do you want the computer to do?", L"OK", L"Cancel"},
        // A program without a Windows 10 manifest entry is told 6.2.
        VersionCase{L"win10", 6, 2, true, L"What do you want the computer to do?", L"OK", L"Cancel"},
        VersionCase{L"nt40", 4, 0, false, L"Are you sure you want to:", L"&Yes", L"&No"}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
        std::wstring w = info.param.wine;
        return std::string(w.begin(), w.end());
    });

}  // namespace
