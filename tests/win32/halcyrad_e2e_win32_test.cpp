// The real daemon against a stand-in taskbar process, under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "daemon/halcyradRes.h"
#include "services/servicesRes.h"
#include "platform/win32/text.h"
#include "test_util.h"
#include "tools/standin_protocol.h"

using platform::win32::Widen;

namespace {

using testutil::DialogTitled;
using testutil::Process;
using testutil::TextOf;
using testutil::WaitFor;



// Top-level windows of a class, optionally of one process.
std::vector<HWND> WindowsOf(const wchar_t* className, DWORD pid = 0) {
    struct Query {
        const wchar_t* cls;
        DWORD pid;
        std::vector<HWND> found;
    } q{className, pid, {}};
    EnumWindows(
        [](HWND h, LPARAM lp) CALLBACK -> BOOL {
            auto* q = reinterpret_cast<Query*>(lp);
            wchar_t cls[64];
            GetClassNameW(h, cls, 64);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (lstrcmpW(cls, q->cls) == 0 && (!q->pid || owner == q->pid)) q->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

class DaemonEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
        // The set-up wizard has run before, except where a test says.
        SetSetting(L"RanQuickStart", L"True");
        StartShell();
    }
    // The stand-in records the session-end messages it gets in `shellLog`.
    void StartShell(const std::string& extra = "") {
        shellLog = TempFile("shell");
        ASSERT_TRUE(shell.Start("\"" + testutil::ProgramFolder() + "standin_shell.exe\" --record \"" + shellLog + "\" " +
                                extra));
        ASSERT_TRUE(WaitFor([&] { return !WindowsOf(L"Shell_TrayWnd", shell.pi.dwProcessId).empty(); }));
        tray = WindowsOf(L"Shell_TrayWnd", shell.pi.dwProcessId)[0];
        ASSERT_EQ(FindWindowW(L"Shell_TrayWnd", L""), tray) << "the stand-in must be the taskbar the daemon finds";
    }
    // A path in the temporary folder for this test, not there yet.
    static std::string TempFile(const std::string& tag) {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        std::string path = platform::win32::Narrow(dir) + "halcyra_e2e_" + std::to_string(GetCurrentProcessId()) + "_" +
                           tag + ".txt";
        DeleteFileW(Widen(path).c_str());
        return path;
    }
    void TearDown() override {
        daemon.Kill();
        shell.Kill();
    }
    static std::wstring Setting(const wchar_t* name) { return testutil::Setting(name, L""); }
    void SetSetting(const wchar_t* name, const wchar_t* value) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(wcslen(value) * sizeof(wchar_t)));
        RegCloseKey(k);
    }
    // Starts a daemon and waits until it is resident: its window exists and
    // its tray icon is up, the last steps of its load.
    HWND StartDaemon(Process& p, const std::string& args = "") {
        if (!p.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\" " + args)) return nullptr;
        HWND w = nullptr;
        WaitFor([&] {
            auto found = WindowsOf(L"HalcyraDaemon", p.pi.dwProcessId);
            w = found.empty() ? nullptr : found[0];
            return w != nullptr;
        });
        // The load has filled the choices from the settings and ends hidden.
        WaitFor([&] {
            return SendDlgItemMessageW(w, IDC_MAIN_CMBSHUTDOWN, CB_GETCOUNT, 0, 0) == 3 && ComboChoice(w) >= 0 &&
                   !IsWindowVisible(w);
        });
        Sleep(100);
        return w;
    }
    // The taskbar's process opens a dialog (or a folder window) with the caption.
    HWND ShellOpens(const std::wstring& caption, ULONG_PTR kind = standin::kOpenWindow) {
        COPYDATASTRUCT cds{kind, static_cast<DWORD>(caption.size() * sizeof(wchar_t)),
                           const_cast<wchar_t*>(caption.data())};
        return reinterpret_cast<HWND>(SendMessageW(tray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)));
    }
    static bool Topmost(HWND w) { return (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    static int ComboChoice(HWND w) {
        return static_cast<int>(SendDlgItemMessageW(w, IDC_MAIN_CMBSHUTDOWN, CB_GETCURSEL, 0, 0));
    }

    Process shell, daemon;
    HWND tray = nullptr;
    std::string shellLog;
};

TEST_F(DaemonEndToEnd, LogOffDialogIsReplacedWithLogOffSelected) {
    SetSetting(L"ShutdownType", L"Restart");
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(ComboChoice(main), 2);
    HWND system = ShellOpens(L"Log Off Windows");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
    EXPECT_TRUE(Topmost(main));
    EXPECT_EQ(ComboChoice(main), 0);
}

TEST_F(DaemonEndToEnd, ShutDownDialogOpensWithThePreviousChoiceAndCloseBoxHides) {
    SetSetting(L"ShutdownType", L"Restart");
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    HWND other = ShellOpens(L"Taskbar Properties");
    HWND system = ShellOpens(L"Shut Down Windows");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
    EXPECT_TRUE(IsWindow(other));  // only the shut-down dialog is closed
    EXPECT_EQ(ComboChoice(main), 2);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    Sleep(300);
    EXPECT_TRUE(daemon.Running());
    EXPECT_TRUE(IsWindow(main));
}

// A folder window of the taskbar's process with the dialog's caption stays,
// and nothing of the daemon's shows; the dialog after it is replaced.
TEST_F(DaemonEndToEnd, AFolderWindowWithTheCaptionIsLeftAlone) {
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    HWND folder = ShellOpens(L"Shut Down Windows", standin::kOpenFolder);
    ASSERT_NE(folder, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(folder, cls, 64);
    ASSERT_STREQ(cls, L"CabinetWClass");
    EXPECT_FALSE(WaitFor([&] { return !IsWindowVisible(folder) || IsWindowVisible(main); }, 1500));
    HWND system = ShellOpens(L"Shut Down Windows");
    ASSERT_NE(system, nullptr);
    GetClassNameW(system, cls, 64);
    ASSERT_STREQ(cls, L"#32770");
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
    EXPECT_TRUE(IsWindowVisible(folder));
}

// At log-on the taskbar may still refuse the icon: the daemon adds it again
// until it is taken, on its own window, identifier 1, WM_MOUSEMOVE, and then
// stops asking.
TEST_F(DaemonEndToEnd, AnIconTheStartingTaskbarRefusesIsAddedAgain) {
    shell.Kill();
    StartShell("--icons-after 2");
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    auto record = [&] {
        std::ifstream in(shellLog, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    const std::string owner = std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(main) & 0xFFFFFFFF));
    const std::string add = "icon 0 " + owner + " 1 512 ";
    ASSERT_TRUE(WaitFor([&] { return record().find(add + "1 ") != std::string::npos; }, 10000)) << record();
    Sleep(2500);
    std::istringstream lines(record());
    int refused = 0, taken = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(add + "0 ", 0) == 0) ++refused;
        if (line.rfind(add + "1 ", 0) == 0) ++taken;
    }
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(taken, 1);
}

TEST_F(DaemonEndToEnd, SecondStartBringsTheFirstToTheFrontAndEnds) {
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(IsWindowVisible(main));
    Process second;
    ASSERT_TRUE(second.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\""));
    ASSERT_EQ(WaitForSingleObject(second.pi.hProcess, 15000), WAIT_OBJECT_0);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && Topmost(main); }));
    EXPECT_EQ(WindowsOf(L"HalcyraDaemon").size(), 1u);
}

TEST_F(DaemonEndToEnd, DevelopLetsTwoCopiesRun) {
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    Process second;
    ASSERT_TRUE(second.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\" /develop"));
    // The copy reports what it detected in message boxes; answer each.
    std::vector<std::wstring> titles;
    WaitFor([&] {
        for (HWND box : WindowsOf(L"#32770", second.pi.dwProcessId)) {
            if (!IsWindowVisible(box)) continue;
            wchar_t title[64] = {};
            GetWindowTextW(box, title, 64);
            titles.push_back(title);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return WindowsOf(L"HalcyraDaemon", second.pi.dwProcessId).size() == 1 && titles.size() >= 3;
    });
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Halcyra", L"Halcyra", L"#2"}));
    EXPECT_EQ(WindowsOf(L"HalcyraDaemon").size(), 2u);
    EXPECT_TRUE(second.Running());
}

}  // namespace

namespace {

TEST_F(DaemonEndToEnd, TrayDoubleClickOpensTheHiddenDialog) {
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    // The icon's callback: WM_MOUSEMOVE whose low word is the mouse message.
    PostMessageW(main, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
    EXPECT_TRUE(Topmost(main));
    // Minimising hides it again; the daemon stays.
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(daemon.Running());
}

}  // namespace

// The wizard's window of one process, visible.
HWND WizardOf(DWORD pid) {
    for (HWND w : WindowsOf(L"#32770", pid)) {
        wchar_t title[64] = {};
        GetWindowTextW(w, title, 64);
        if (IsWindowVisible(w) && lstrcmpW(title, L"Halcyra Configuration Wizard") == 0) return w;
    }
    return nullptr;
}

TEST_F(DaemonEndToEnd, FirstStartRunsTheWizardOnceBeforeTheDaemonIsResident) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Halcyra");
    Process first;
    ASSERT_TRUE(first.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\""));
    HWND wizard = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (wizard = WizardOf(first.pi.dwProcessId)) != nullptr; }));
    // While it is open the daemon does not intercept: its load waits.
    HWND main = WindowsOf(L"HalcyraDaemon", first.pi.dwProcessId).at(0);
    EXPECT_FALSE(IsWindowEnabled(main));
    // Its owner is hidden: a taskbar button of its own, and in front.
    EXPECT_TRUE(GetWindowLongW(wizard, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == wizard; }, 3000));
    for (int i = 0; i < 8 && IsWindow(wizard); ++i) {
        PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(wizard, IDOK)));
        WaitFor([&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); }, 300);
    }
    ASSERT_FALSE(IsWindow(wizard) && IsWindowVisible(wizard));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(main) && Setting(L"RanQuickStart") == L"True"; }));
    // Its rows are in the dialog and stored with their commands.
    HWND list = GetDlgItem(main, IDC_MAIN_LSVRUN);
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= 2; }));
    EXPECT_NE(Setting(L"RunList").find(L"Delete temporary files,"), std::wstring::npos);
    EXPECT_FALSE(Setting(L"Delete temporary files").empty());
    first.Kill();

    Process second;
    ASSERT_TRUE(second.Start("\"" + testutil::ProgramFolder() + "halcyrad.exe\""));
    ASSERT_TRUE(WaitFor([&] { return !WindowsOf(L"HalcyraDaemon", second.pi.dwProcessId).empty(); }));
    EXPECT_FALSE(WaitFor([&] { return WizardOf(second.pi.dwProcessId) != nullptr; }, 1500));
}

TEST_F(DaemonEndToEnd, ARestartedShellIsHookedAgain) {
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    // The shell ends and a new one starts (and announces its taskbar).
    shell.Kill();
    ASSERT_TRUE(shell.Start("\"" + testutil::ProgramFolder() + "standin_shell.exe\""));
    ASSERT_TRUE(WaitFor([&] { return !WindowsOf(L"Shell_TrayWnd", shell.pi.dwProcessId).empty(); }));
    tray = WindowsOf(L"Shell_TrayWnd", shell.pi.dwProcessId)[0];
    Sleep(300);  // the announcement is posted
    HWND system = ShellOpens(L"Shut Down Windows");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
}

TEST_F(DaemonEndToEnd, NoTaskbarButtonOnAnyShowing) {
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    auto check = [main](const char* when) {
        HWND owner = GetWindow(main, GW_OWNER);
        EXPECT_NE(owner, nullptr) << when;
        EXPECT_FALSE(IsWindowVisible(owner)) << when;
        LONG ex = GetWindowLongW(main, GWL_EXSTYLE);
        EXPECT_FALSE(ex & WS_EX_APPWINDOW) << when;
        EXPECT_FALSE(ex & WS_EX_TOOLWINDOW) << when;  // a normal caption, with its icon
        EXPECT_TRUE(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION) << when;
    };
    check("hidden");
    for (int showing = 0; showing < 2; ++showing) {
        HWND system = ShellOpens(L"Shut Down Windows");
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main); }));
        check("shown");
        PostMessageW(main, WM_CLOSE, 0, 0);  // the close box hides it
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
        (void)system;
    }
}

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// "word ... US" lines of a record file: the word and the last number.
std::vector<std::pair<std::string, long long>> Lines(const std::string& path) {
    std::vector<std::pair<std::string, long long>> out;
    std::istringstream in(Contents(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        out.push_back({line.substr(0, line.rfind(' ')), std::stoll(line.substr(line.rfind(' ') + 1))});
    }
    return out;
}

// A service of the prefix's service manager (tools/test_service.cpp) that
// stops at once and records when the stop request reached it.
class E2eService {
public:
    explicit E2eService(const std::string& record)
        : name_(L"HalcyraE2e_" + std::to_wstring(GetCurrentProcessId())),
          display_("Halcyra E2E " + std::to_string(GetCurrentProcessId())),
          manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
        Remove();
        std::wstring binary = Widen("\"" + testutil::ProgramFolder() + "test_service.exe\" now 0 \"" + record + "\"");
        service_ = CreateServiceW(manager_, name_.c_str(), Widen(display_).c_str(), SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                  binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    ~E2eService() {
        if (service_) CloseServiceHandle(service_);
        Remove();
        if (manager_) CloseServiceHandle(manager_);
    }
    bool Start() {
        for (int attempt = 0; service_ && attempt < 2; ++attempt)
            if (StartServiceW(service_, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
                return WaitFor([&] { return State() == SERVICE_RUNNING; });
        return false;
    }
    DWORD State() const {
        SERVICE_STATUS st{};
        return QueryServiceStatus(service_, &st) ? st.dwCurrentState : 0;
    }
    const std::string& display() const { return display_; }

private:
    void Remove() {
        SC_HANDLE s = OpenServiceW(manager_, name_.c_str(), SERVICE_ALL_ACCESS);
        if (!s) return;
        SERVICE_STATUS st;
        ControlService(s, SERVICE_CONTROL_STOP, &st);
        DeleteService(s);
        CloseServiceHandle(s);
    }
    std::wstring name_;
    std::string display_;
    SC_HANDLE manager_ = nullptr, service_ = nullptr;
};

class ShutdownEndToEnd : public DaemonEndToEnd {
protected:
    // One checked helper that touches its marker, and one service to stop;
    // not forced: a forced request makes Wine end every process of the
    // prefix, the test's own among them.
    void Configure(const std::string& serviceDisplay) {
        marker = TempFile("marker");
        SetSetting(L"RunList", L"Helper,");
        SetSetting(L"SelectedList", L"0,");
        SetSetting(L"Helper", Widen("\"" + testutil::ProgramFolder() + "exit_with.exe\" 0 --touch \"" + marker + "\"")
                                  .c_str());
        SetSetting(L"RunPrograms", L"1");
        SetSetting(L"SelectedStopList", Widen(serviceDisplay + ",").c_str());
        SetSetting(L"StopServices", L"1");
        SetSetting(L"ShutdownType", L"Shutdown");
        SetSetting(L"UseHalcyra", L"0");
    }
    // The stand-in shows "Shut Down Windows"; the daemon's dialog replaces it
    // and OK is pressed on it.
    void PressOK(HWND main) {
        HWND system = ShellOpens(L"Shut Down Windows");
        ASSERT_NE(system, nullptr);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
        PostMessageW(GetDlgItem(main, IDC_MAIN_CMDOK), BM_CLICK, 0, 0);
    }
    long long MarkerTime() {
        std::string t = Contents(marker);
        return t.empty() ? 0 : std::stoll(t);
    }
    std::string marker;
};

TEST_F(ShutdownEndToEnd, OkRunsTheHelperStopsTheServiceThenEndsTheSessionAndTheDaemon) {
    std::string serviceRecord = TempFile("service");
    E2eService service(serviceRecord);
    ASSERT_TRUE(service.Start());
    Configure(service.display());
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    PressOK(main);
    ASSERT_EQ(WaitForSingleObject(daemon.pi.hProcess, 30000), WAIT_OBJECT_0) << "the daemon did not end";
    EXPECT_EQ(daemon.ExitCode(), 0u);
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
    ASSERT_TRUE(WaitFor([&] { return Lines(shellLog).size() >= 2; }, 10000)) << Contents(shellLog);
    auto shellLines = Lines(shellLog);
    EXPECT_EQ(shellLines[0].first, "queryendsession 0 1");
    EXPECT_EQ(shellLines[1].first, "endsession 1");
    // In order: the helper ran, then the service was asked to stop, then
    // Windows was asked to end the session.
    long long helperAt = MarkerTime(), stopAt = 0;
    for (auto& [word, us] : Lines(serviceRecord))
        if (word == "stop-request") stopAt = us;
    ASSERT_NE(helperAt, 0);
    ASSERT_NE(stopAt, 0);
    EXPECT_LT(helperAt, stopAt);
    EXPECT_LT(stopAt, shellLines[0].second);
}

TEST_F(ShutdownEndToEnd, NoExitRunsAndStopsButLeavesTheDaemonAndTheShellAlone) {
    std::string serviceRecord = TempFile("service");
    E2eService service(serviceRecord);
    ASSERT_TRUE(service.Start());
    Configure(service.display());
    HWND main = StartDaemon(daemon, "/noexit");
    ASSERT_NE(main, nullptr);
    PressOK(main);
    ASSERT_TRUE(WaitFor([&] { return MarkerTime() != 0 && service.State() == SERVICE_STOPPED; }, 30000));
    Sleep(1500);
    EXPECT_TRUE(daemon.Running());
    EXPECT_TRUE(IsWindow(main));
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(Contents(shellLog), "");
    EXPECT_TRUE(shell.Running());
}

// Wine's ExitWindowsEx starts "wineboot --end-session" and returns TRUE at
// once, as NT does for a request it took; wineboot asks the programs by
// process id, each asked and then told at once, and the first refusal ends
// the asking. So the refusing stand-in has the lower id and the daemon is
// never asked (ids are reused, so a daemon that got a lower one is started
// again). The end was cancelled: the daemon stays, with its hook on, and
// intercepts the next "Shut Down Windows".
TEST_F(ShutdownEndToEnd, ARefusedEndLeavesTheDaemonResidentAndIntercepting) {
    shell.Kill();
    StartShell("--refuse");
    SetSetting(L"ShutdownType", L"Restart");
    SetSetting(L"UseHalcyra", L"0");
    HWND main = nullptr;
    bool lower = false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        main = StartDaemon(daemon);
        lower = main && daemon.pi.dwProcessId < shell.pi.dwProcessId;
        if (!lower) break;
        daemon.Kill();
    }
    if (lower) GTEST_SKIP() << "every daemon started got a lower process id than the stand-in";
    ASSERT_NE(main, nullptr);
    PressOK(main);
    ASSERT_TRUE(WaitFor([&] { return Lines(shellLog).size() >= 2; }, 10000)) << Contents(shellLog);
    auto shellLines = Lines(shellLog);
    EXPECT_EQ(shellLines[0].first, "queryendsession 0 0");
    EXPECT_EQ(shellLines[1].first, "endsession 0");
    EXPECT_NE(WaitForSingleObject(daemon.pi.hProcess, 1500), WAIT_OBJECT_0) << "the daemon ended";
    EXPECT_TRUE(shell.Running());
    EXPECT_FALSE(IsWindowVisible(main));
    HWND system = ShellOpens(L"Shut Down Windows");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
    EXPECT_TRUE(daemon.Running());
}

// While a program runs the please-wait window answers at once, and a tray
// double click and a click on OK queued meanwhile neither show the dialog
// nor run the program a second time.
TEST_F(ShutdownEndToEnd, ThePleaseWaitWindowAnswersAndQueuedClicksDoNothingDuringALongProgram) {
    std::string runs = TempFile("runs"), go = TempFile("go");
    SetSetting(L"RunList", L"Helper,");
    SetSetting(L"SelectedList", L"0,");
    SetSetting(L"Helper", Widen("\"" + testutil::ProgramFolder() + "exit_with.exe\" 0 --append \"" + runs +
                                "\" --wait-for \"" + go + "\"")
                              .c_str());
    SetSetting(L"RunPrograms", L"1");
    SetSetting(L"ShutdownType", L"Shutdown");
    HWND main = StartDaemon(daemon, "/noexit");
    ASSERT_NE(main, nullptr);
    PressOK(main);
    HWND wait = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : WindowsOf(L"#32770", daemon.pi.dwProcessId))
            if (IsWindowVisible(w) && TextOf(GetDlgItem(w, IDC_ERROR_LBLMSG)).find(L"Running Helper") == 0) wait = w;
        return wait != nullptr;
    }));
    PostMessageW(main, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
    PostMessageW(GetDlgItem(main, IDC_MAIN_CMDOK), BM_CLICK, 0, 0);
    DWORD slowest = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        DWORD before = GetTickCount();
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutW(wait, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0)
            << "no answer after " << GetTickCount() - start << " ms";
        slowest = std::max(slowest, GetTickCount() - before);
        ASSERT_FALSE(IsWindowVisible(main));
        Sleep(100);
    }
    EXPECT_LT(slowest, 1000u);
    CloseHandle(CreateFileW(Widen(go).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(wait); }, 10000));
    Sleep(1500);
    EXPECT_EQ(Contents(runs), "run\r\n");
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(daemon.Running());
    DeleteFileW(Widen(go).c_str());
}

// Ends of the session that do not pass through the dialog (the Start
// menu's power button, shutdown.exe, an update): a program calls
// ExitWindowsEx itself. Wine's wineboot asks the programs one at a time by
// process id, each asked, told and ended before the next: with the stand-in
// taskbar started after the daemon (a higher id), the stand-in is asked only
// once the daemon has answered and been told the session ends.
class AnyShutdownEndToEnd : public ShutdownEndToEnd {
protected:
    // A helper that notes each run in `runs`, waits for `go` when asked
    // to, then writes the time to `marker`.
    void ConfigureHelper(const std::string& serviceDisplay, bool waitForGo) {
        Configure(serviceDisplay);
        runs = TempFile("runs");
        go = TempFile("go");
        std::string helper = "\"" + testutil::ProgramFolder() + "exit_with.exe\" 0 --append \"" + runs + "\"";
        if (waitForGo) helper += " --wait-for \"" + go + "\"";
        helper += " --touch \"" + marker + "\"";
        SetSetting(L"Helper", Widen(helper).c_str());
    }
    // A running test service the helper's settings list to stop, and
    // "RunAtAnyShutdown" as given.
    bool StartServiceAndHelper(E2eService& service, bool waitForGo, const wchar_t* runAtAnyShutdown) {
        if (!service.Start()) return false;
        ConfigureHelper(service.display(), waitForGo);
        SetSetting(L"RunAtAnyShutdown", runAtAnyShutdown);
        return true;
    }
    // The daemon first, then the stand-in with a higher process id.
    HWND StartDaemonBeforeTheShell() {
        shell.Kill();
        HWND main = StartDaemon(daemon);
        for (int attempt = 0; main && attempt < 8; ++attempt) {
            StartShell();
            if (shell.pi.dwProcessId > daemon.pi.dwProcessId) return main;
            shell.Kill();
        }
        return nullptr;
    }
    // What the Start menu does: ExitWindowsEx from a program of the desktop.
    void EndTheSessionElsewhere(UINT flags) {
        Process caller;
        ASSERT_TRUE(caller.Start("\"" + testutil::ProgramFolder() + "standin_shell.exe\" --exit-windows " +
                                 std::to_string(flags)));
        ASSERT_EQ(WaitForSingleObject(caller.pi.hProcess, 10000), WAIT_OBJECT_0);
        ASSERT_EQ(caller.ExitCode(), 0u) << "ExitWindowsEx was refused";
    }
    static bool Answers(HWND w) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    }
    void Go() { CloseHandle(CreateFileW(Widen(go).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)); }
    void TearDown() override {
        DeleteFileW(Widen(go).c_str());
        ShutdownEndToEnd::TearDown();
    }
    std::string runs, go;
};

// The end is held while the helper runs: the daemon keeps answering, the
// stand-in is not asked yet; then the service stops, the daemon agrees, is
// told and ends, and only then is the stand-in asked.
TEST_F(AnyShutdownEndToEnd, AShutdownFromElsewhereIsHeldWhileTheHelperRunsAndTheServiceStops) {
    std::string serviceRecord = TempFile("service");
    E2eService service(serviceRecord);
    ASSERT_TRUE(StartServiceAndHelper(service, true, L"1"));
    HWND main = StartDaemonBeforeTheShell();
    ASSERT_NE(main, nullptr) << "the stand-in never got a higher process id than the daemon";
    EndTheSessionElsewhere(EWX_SHUTDOWN);
    ASSERT_TRUE(WaitFor([&] { return Contents(runs) == "run\r\n"; }, 15000)) << "the helper did not start";
    for (int i = 0; i < 20; ++i) {  // held for two seconds
        ASSERT_TRUE(Answers(main)) << "the daemon stopped answering while it held the end";
        Sleep(100);
    }
    EXPECT_TRUE(daemon.Running());
    EXPECT_EQ(Contents(shellLog), "");
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
    Go();
    ASSERT_EQ(WaitForSingleObject(daemon.pi.hProcess, 30000), WAIT_OBJECT_0) << "the daemon did not end";
    ASSERT_TRUE(WaitFor([&] { return Lines(shellLog).size() >= 2; }, 15000)) << Contents(shellLog);
    auto shellLines = Lines(shellLog);
    EXPECT_EQ(shellLines[0].first, "queryendsession 0 1");
    EXPECT_EQ(shellLines[1].first, "endsession 1");
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
    long long helperDone = MarkerTime(), stopAt = 0;
    for (auto& [word, us] : Lines(serviceRecord))
        if (word == "stop-request") stopAt = us;
    ASSERT_NE(helperDone, 0);
    ASSERT_NE(stopAt, 0);
    EXPECT_LT(helperDone, stopAt);
    EXPECT_LT(stopAt, shellLines[0].second);
    EXPECT_EQ(Contents(runs), "run\r\n");
}

// Off, as it is unless chosen: the same end runs nothing and stops nothing.
TEST_F(AnyShutdownEndToEnd, WithTheSettingOffAShutdownFromElsewhereRunsNothing) {
    std::string serviceRecord = TempFile("service");
    E2eService service(serviceRecord);
    ASSERT_TRUE(StartServiceAndHelper(service, false, L"0"));
    HWND main = StartDaemonBeforeTheShell();
    ASSERT_NE(main, nullptr) << "the stand-in never got a higher process id than the daemon";
    EndTheSessionElsewhere(EWX_SHUTDOWN);
    ASSERT_EQ(WaitForSingleObject(daemon.pi.hProcess, 30000), WAIT_OBJECT_0) << "the daemon did not end";
    ASSERT_TRUE(WaitFor([&] { return Lines(shellLog).size() >= 2; }, 15000)) << Contents(shellLog);
    EXPECT_EQ(Lines(shellLog)[0].first, "queryendsession 0 1");
    EXPECT_EQ(Contents(runs), "");
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

// Wine asks with lParam 0 even for a log-off, so the log-off is asked here
// as Windows asks it: the helper runs and no service stops. A second
// question while the helper runs is answered at once, no, and starts
// nothing; a cancelled end leaves the daemon resident and intercepting.
TEST_F(AnyShutdownEndToEnd, ALogOffRunsTheHelperOnceAndStopsNoService) {
    std::string serviceRecord = TempFile("service");
    E2eService service(serviceRecord);
    ASSERT_TRUE(StartServiceAndHelper(service, true, L"1"));
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    DWORD_PTR first = 99;
    LRESULT delivered = 0;
    std::thread windows([&] {
        delivered = SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &first);
    });
    ASSERT_TRUE(WaitFor([&] { return Contents(runs) == "run\r\n"; }, 15000)) << "the helper did not start";
    DWORD_PTR second = 99;
    DWORD before = GetTickCount();
    EXPECT_NE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &second), 0);
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_EQ(second, static_cast<DWORD_PTR>(FALSE));
    Go();
    windows.join();
    EXPECT_NE(delivered, 0);
    EXPECT_EQ(first, static_cast<DWORD_PTR>(TRUE));
    EXPECT_NE(MarkerTime(), 0);
    EXPECT_EQ(Contents(runs), "run\r\n");
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
    SendMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(daemon.Running());
    HWND system = ShellOpens(L"Shut Down Windows");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(system) && IsWindowVisible(main); }));
}

// OK in the daemon's own dialog runs the helper; the end it then asks for
// is let through at once, so the helper does not run a second time.
TEST_F(AnyShutdownEndToEnd, TheDaemonsOwnEndAfterOkRunsTheHelperOnce) {
    ConfigureHelper("No such service", false);
    SetSetting(L"StopServices", L"0");
    SetSetting(L"RunAtAnyShutdown", L"1");
    HWND main = StartDaemon(daemon);
    ASSERT_NE(main, nullptr);
    PressOK(main);
    ASSERT_EQ(WaitForSingleObject(daemon.pi.hProcess, 30000), WAIT_OBJECT_0) << "the daemon did not end";
    ASSERT_TRUE(WaitFor([&] { return Lines(shellLog).size() >= 2; }, 15000)) << Contents(shellLog);
    EXPECT_EQ(Lines(shellLog)[0].first, "queryendsession 0 1");
    EXPECT_EQ(Contents(runs), "run\r\n");
}

}  // namespace
