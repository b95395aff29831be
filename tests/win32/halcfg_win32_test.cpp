// The real applet, opened the way the Control Panel and the daemon open it,
// against a real running daemon, under Wine.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "applet/halcfgRes.h"
#include "daemon/halcyradRes.h"
#include "platform/win32/text.h"
#include "test_util.h"

using platform::win32::Widen;

namespace {

using testutil::DialogTitled;
using testutil::Process;
using testutil::Setting;
using testutil::TextOf;
using testutil::WaitFor;




// Visible top-level windows of a class and title, of any process.
std::vector<HWND> Windows(const wchar_t* className, const std::wstring& title) {
    std::vector<HWND> found;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, title.c_str()); w;
         w = FindWindowExW(nullptr, w, className, title.c_str()))
        if (IsWindowVisible(w)) found.push_back(w);
    return found;
}

DWORD ProcessOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

// Whether the notification area holds the icon (window, 1): changing an
// icon that is not there fails.
bool HasTrayIcon(HWND owner) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = owner;
    nid.uID = 1;
    nid.uFlags = NIF_TIP;
    lstrcpyW(nid.szTip, L"Halcyra");
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

// A click as the dialog manager reports it, posted so that a message box
// the handler shows does not block the test.
void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetCheck(HWND dialog, int id, bool checked) {
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Click(dialog, id);
}

class AppletEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra"); }
    void TearDown() override {
        applet.Kill();
        daemon.Kill();
    }
    // Opens the applet as the Control Panel does and waits for its dialog.
    HWND OpenApplet() {
        std::string cpl = testutil::ProgramFolder() + "halcfg.cpl";
        if (!applet.Start("rundll32.exe shell32.dll,Control_RunDLL \"" + cpl + "\"")) return nullptr;
        return SettingsOf(applet.pi.dwProcessId);
    }
    static HWND SettingsOf(DWORD pid) {
        HWND dialog = nullptr;
        WaitFor([&] {
            for (HWND w : Windows(L"#32770", L"Halcyra Settings"))
                if (!pid || ProcessOf(w) == pid) dialog = w;
            return dialog != nullptr;
        });
        return dialog;
    }
    HWND StartDaemon() {
        if (!daemon.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\"")) return nullptr;
        HWND w = nullptr;
        WaitFor([&] {
            w = FindWindowW(L"HalcyraDaemon", L"Halcyra");
            return w && HasTrayIcon(w);
        });
        return w;
    }
    // A daemon whose dialog the tray icon's double click has opened; null
    // when it did not show.
    HWND StartDaemonShowingItsDialog() {
        HWND main = StartDaemon();
        if (!main) return nullptr;
        PostMessageW(main, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
        return WaitFor([&] { return IsWindowVisible(main) != FALSE; }) ? main : nullptr;
    }
    // A message box of the applet's process titled "Halcyra", and its text.
    HWND MessageBoxOfApplet(std::wstring* text) {
        HWND box = nullptr;
        WaitFor([&] {
            for (HWND w : Windows(L"#32770", L"Halcyra"))
                if (ProcessOf(w) == applet.pi.dwProcessId) box = w;
            return box != nullptr;
        });
        if (box && text) *text = TextOf(GetDlgItem(box, 0xFFFF));
        return box;
    }

    Process applet, daemon;
};

TEST_F(AppletEndToEnd, ControlRunDllOpensTheDialogWithCommonControls6) {
    HWND dialog = OpenApplet();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_CFG_SSTAB1, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_CFG_CMDAPPLY)), L"&Apply");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CFG_CMDAPPLY)));
    // The applet's manifest brought the side-by-side common controls 6.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, applet.pi.dwProcessId);
    ASSERT_NE(process, nullptr);
    HMODULE modules[512];
    DWORD bytes = 0;
    ASSERT_TRUE(EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL));
    std::vector<std::wstring> comctl;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        std::wstring p = CharLowerW(path);
        if (p.find(L"comctl32.dll") != std::wstring::npos) comctl.push_back(p);
    }
    CloseHandle(process);
    bool v6 = false;
    for (const auto& p : comctl) v6 = v6 || p.find(L"common-controls_6595b64144ccf1df_6.") != std::wstring::npos;
    EXPECT_TRUE(v6) << "comctl32 loaded: " << comctl.size();
    // A check box on the page shows the page's own background beside its
    // text, as the page shows it where nothing lies.
    HWND tab = GetDlgItem(dialog, IDC_CFG_SSTAB1);
    RECT page, box;
    GetWindowRect(tab, &page);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    GetWindowRect(GetDlgItem(dialog, IDC_CFG_CHKRUNTHISFIRST), &box);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    HDC screen = GetDC(nullptr);
    COLORREF pane = GetPixel(screen, page.left + 2, page.top + 2);
    COLORREF beside = GetPixel(screen, box.right - 3, (box.top + box.bottom) / 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(beside, pane);
    // Cancel closes it and the Control Panel's process ends.
    Click(dialog, IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(applet.pi.hProcess, 15000), WAIT_OBJECT_0);
    EXPECT_EQ(Setting(L"ShowIcon"), L"<missing>");
}

TEST_F(AppletEndToEnd, ApplyRemovesAndAddsTheRunningDaemonsIcon) {
    HWND main = StartDaemon();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(HasTrayIcon(main));
    HWND dialog = OpenApplet();
    ASSERT_NE(dialog, nullptr);
    SetCheck(dialog, IDC_CFG_CHKSHOWICON, false);
    Click(dialog, IDC_CFG_CMDAPPLY);
    EXPECT_TRUE(WaitFor([&] { return !HasTrayIcon(main); }));
    EXPECT_TRUE(WaitFor([&] { return Setting(L"ShowIcon") == L"0"; }));
    SetCheck(dialog, IDC_CFG_CHKSHOWICON, true);
    Click(dialog, IDC_CFG_CMDAPPLY);
    EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(main); }));
    EXPECT_TRUE(WaitFor([&] { return Setting(L"ShowIcon") == L"1"; }));
    Click(dialog, IDOK);
    EXPECT_EQ(WaitForSingleObject(applet.pi.hProcess, 15000), WAIT_OBJECT_0);
    EXPECT_TRUE(daemon.Running());
}

// A daemon showing its dialog only hides it on WM_CLOSE: the applet says it
// still runs and gives its icon back; hidden, it ends and the applet says so.
TEST_F(AppletEndToEnd, UnloadEndsTheRunningDaemonAndSaysSo) {
    HWND main = StartDaemonShowingItsDialog();
    ASSERT_NE(main, nullptr);
    HWND dialog = OpenApplet();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CFG_CMDUNLOAD)));
    Click(dialog, IDC_CFG_CMDUNLOAD);
    std::wstring text;
    HWND box = MessageBoxOfApplet(&text);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(text, L"Halcyra was detected but is still running and was not unloaded.");
    EXPECT_TRUE(daemon.Running());
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(HasTrayIcon(main));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CFG_CMDUNLOAD)));

    Click(dialog, IDC_CFG_CMDUNLOAD);
    box = MessageBoxOfApplet(&text);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(text, L"Halcyra was detected and is now unloaded.");
    // Said only once it ended.
    EXPECT_EQ(WaitForSingleObject(daemon.pi.hProcess, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(HasTrayIcon(main));
    // The box is titled "Halcyra" too, and is no daemon.
    EXPECT_EQ(FindWindowW(L"HalcyraDaemon", L"Halcyra"), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CFG_CMDUNLOAD)));
    Click(dialog, IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(applet.pi.hProcess, 15000), WAIT_OBJECT_0);
}

TEST_F(AppletEndToEnd, TheDaemonsOptionsOpensTheAppletBesideIt) {
    HWND main = StartDaemon();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, IDM_SELOPTIONS, 0);  // the tray menu's Options
    HWND dialog = SettingsOf(0);
    ASSERT_NE(dialog, nullptr);
    // Its process runs the applet of this build, by its full path.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE,
                                 ProcessOf(dialog));
    ASSERT_NE(process, nullptr);
    HMODULE modules[512];
    DWORD bytes = 0;
    bool ours = false;
    std::wstring expected = Widen(testutil::ProgramFolder() + "halcfg.cpl");
    if (EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL))
        for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
            wchar_t path[MAX_PATH] = {};
            GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
            ours = ours || lstrcmpiW(path, expected.c_str()) == 0;
        }
    EXPECT_TRUE(ours);
    Click(dialog, IDCANCEL);
    if (WaitForSingleObject(process, 15000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
}

}  // namespace

namespace {

void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY k;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(k);
}

void SetText(const wchar_t* name, const std::wstring& text) {
    SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

DWORD TypeOf(const wchar_t* name) {
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, nullptr) != ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

class NothingStoredIsLost : public AppletEndToEnd {
protected:
    void SetUp() override {
        AppletEndToEnd::SetUp();
        SetText(L"RanQuickStart", L"True");
        helper = Widen("\"" + testutil::ProgramFolder() + "exit_with.exe\" 0");
    }
    std::wstring helper;
};

// An administrator's REG_DWORD lock and a list written by hand (no comma
// after its last element) survive the daemon's start and the applet's Apply.
TEST_F(NothingStoredIsLost, ADwordLockAndAHandWrittenListSurviveBothPrograms) {
    DWORD locked = 0;
    SetRaw(L"UserCanModifyApps", REG_DWORD, &locked, sizeof locked);
    SetText(L"RunList", L"A,B");
    SetText(L"SelectedList", L"1");
    SetText(L"A", helper);
    SetText(L"B", helper);
    HWND main = StartDaemon();
    ASSERT_NE(main, nullptr);
    Sleep(300);
    EXPECT_EQ(Setting(L"RunList"), L"A,B");
    EXPECT_EQ(Setting(L"SelectedList"), L"1");
    HWND dialog = OpenApplet();
    ASSERT_NE(dialog, nullptr);
    // A change beside the lock: only it is written.
    SetCheck(dialog, IDC_CFG_CHKFORCEAPPSTOCLOSE, true);
    Click(dialog, IDOK);
    EXPECT_EQ(WaitForSingleObject(applet.pi.hProcess, 15000), WAIT_OBJECT_0);
    EXPECT_EQ(Setting(L"UseHalcyra"), L"1");
    EXPECT_EQ(TypeOf(L"UserCanModifyApps"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Setting(L"RunList"), L"A,B");
    EXPECT_EQ(Setting(L"SelectedList"), L"1");
}

// The applet adds an entry while the daemon's dialog is open; the dialog's
// Cancel keeps it, with its check.
TEST_F(NothingStoredIsLost, AnEntryTheAppletAddsSurvivesTheDaemonsCancel) {
    SetText(L"RunList", L"A,");
    SetText(L"SelectedList", L"0,");
    SetText(L"A", helper);
    HWND main = StartDaemonShowingItsDialog();
    ASSERT_NE(main, nullptr);
    HWND dialog = OpenApplet();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_CFG_CMDADD);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : Windows(L"#32770", L"Application Selection"))
            if (ProcessOf(w) == applet.pi.dwProcessId) editor = w;
        return editor != nullptr;
    }));
    SetDlgItemTextW(editor, IDC_SEL_TXTDISPLAYNAME, L"C");
    SetDlgItemTextW(editor, IDC_SEL_TXTPROGRAM, helper.c_str());
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(editor, IDC_SEL_CMDOK)) != FALSE; }));
    Click(editor, IDC_SEL_CMDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    Click(dialog, IDC_CFG_CMDAPPLY);
    ASSERT_TRUE(WaitFor([&] { return Setting(L"RunList") == L"A,C,"; })) << Setting(L"RunList");
    EXPECT_EQ(Setting(L"SelectedList"), L"0,1,");
    Click(dialog, IDOK);
    EXPECT_EQ(WaitForSingleObject(applet.pi.hProcess, 15000), WAIT_OBJECT_0);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_CMDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_MAIN_CMDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    Sleep(300);
    EXPECT_EQ(Setting(L"RunList"), L"A,C,");
    EXPECT_EQ(Setting(L"SelectedList"), L"0,1,");
    EXPECT_EQ(Setting(L"C"), helper);
}

}  // namespace

namespace {

constexpr const wchar_t* kMachinePolicy = L"Software\\Policies\\Halcyra\\Settings";

void SetMachinePolicy(const wchar_t* name, const std::wstring& text) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMachinePolicy, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    RegCloseKey(k);
}

class PolicyEndToEnd : public AppletEndToEnd {
protected:
    void SetUp() override {
        AppletEndToEnd::SetUp();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Halcyra");
        SetText(L"RanQuickStart", L"True");
    }
    void TearDown() override {
        AppletEndToEnd::TearDown();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Halcyra");
    }
};

// The machine's policy hides the icon the user's own value shows, in the
// real daemon; the real applet shows the policy's value disabled with its
// note, and its OK leaves the user's own value as it was.
TEST_F(PolicyEndToEnd, AMachinePolicyWinsInTheDaemonAndTheApplet) {
    SetText(L"ShowIcon", L"1");
    SetText(L"UseHalcyra", L"0");
    SetMachinePolicy(L"ShowIcon", L"0");
    ASSERT_TRUE(daemon.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\""));
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = FindWindowW(L"HalcyraDaemon", L"Halcyra")) != nullptr; }));
    Sleep(1500);
    EXPECT_FALSE(HasTrayIcon(main));

    HWND dialog = OpenApplet();
    ASSERT_NE(dialog, nullptr);
    HWND showIcon = GetDlgItem(dialog, IDC_CFG_CHKSHOWICON);
    EXPECT_EQ(SendMessageW(showIcon, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(showIcon));
    HWND note = GetDlgItem(dialog, IDC_CFG_LBLPOLICY);
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(TextOf(note), L"Set by your administrator");
    SetCheck(dialog, IDC_CFG_CHKFORCEAPPSTOCLOSE, true);
    Click(dialog, IDOK);
    EXPECT_EQ(WaitForSingleObject(applet.pi.hProcess, 15000), WAIT_OBJECT_0);
    EXPECT_EQ(Setting(L"UseHalcyra"), L"1");
    EXPECT_EQ(Setting(L"ShowIcon"), L"1");
    EXPECT_FALSE(HasTrayIcon(main));
}

}  // namespace
