#include "support/daemon_fixture.h"

#include "common/basEncrypt.h"
#include "common/basTrayIcon.h"
#include "common/frmPasswordToAccess.h"
#include "daemon/basEventLog.h"


using halcyrad::frmMain;
using ui::memory::MemoryForm;

namespace {

class StartupTest : public testing_support::DaemonFixture {};

TEST_F(StartupTest, StoresTheLongFolderBeforeAnySettingsRootIsSet) {
    sys.longPaths["C:\\PROGRA~1\\HALCYRA\\"] = "C:\\Program Files\\Halcyra\\";
    ASSERT_EQ(state.SettingsRoot, platform::RootKey::None);
    EXPECT_TRUE(basDaemon::Startup(plat, ui, state, "C:\\PROGRA~1\\HALCYRA"));
    EXPECT_EQ(state.AppPath, "C:\\Program Files\\Halcyra\\");
    EXPECT_EQ(state.HelpFile, "C:\\Program Files\\Halcyra\\halcyra.html");
    EXPECT_EQ(Stored("AppPath"), "C:\\Program Files\\Halcyra\\");
    EXPECT_TRUE(windows.broughtToFront.empty());
}

TEST_F(StartupTest, DriveRootKeepsOneBackslash) {
    sys.longPaths["D:\\"] = "";  // no long form: the path stays
    EXPECT_TRUE(basDaemon::Startup(plat, ui, state, "D:\\"));
    EXPECT_EQ(state.AppPath, "D:\\");
    EXPECT_EQ(Stored("AppPath"), "D:\\");
}

TEST_F(StartupTest, SecondCopyBringsTheFirstToTheFrontAndEnds) {
    auto running = windows.Add(basDaemon::kWindowClass, "Halcyra");
    sys.files["C:\\Halcyra\\dusker.exe"] = 0x20;
    EXPECT_FALSE(basDaemon::Startup(plat, ui, state, "C:\\Halcyra"));
    EXPECT_EQ(windows.broughtToFront, std::vector<platform::WindowManager::Handle>{running});
    EXPECT_EQ(processes.started, std::vector<std::string>{"\"C:\\Halcyra\\dusker.exe\""});
    EXPECT_EQ(ui.doEvents, 1);
    // The copy that ends leaves the running one's folder where it was.
    EXPECT_EQ(Stored("AppPath"), "<missing>");
}

// An installer's "/close": the running copy is closed and this one ends,
// with no dimmer, no front and nothing stored; with none running, nothing.
TEST_F(StartupTest, CloseEndsTheRunningCopyAndThisOne) {
    state.CommandLine = "halcyrad.exe /close";
    sys.files["C:\\Halcyra\\dusker.exe"] = 0x20;
    EXPECT_FALSE(basDaemon::Startup(plat, ui, state, "C:\\Halcyra"));
    EXPECT_TRUE(windows.closeSent.empty());
    auto running = windows.Add(basDaemon::kWindowClass, "Halcyra");
    EXPECT_FALSE(basDaemon::Startup(plat, ui, state, "C:\\Halcyra"));
    EXPECT_EQ(windows.closeSent, std::vector<platform::WindowManager::Handle>{running});
    EXPECT_FALSE(windows.Exists(running));
    EXPECT_TRUE(windows.broughtToFront.empty());
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(Stored("AppPath"), "<missing>");
}

TEST_F(StartupTest, MessageBoxTitledHalcyraIsNotTheDaemon) {
    windows.Add("#32770", "Halcyra");
    EXPECT_TRUE(basDaemon::Startup(plat, ui, state, "C:\\Halcyra"));
    EXPECT_TRUE(windows.broughtToFront.empty());
    EXPECT_TRUE(processes.started.empty());  // no dimmer beside the program
}

TEST_F(StartupTest, DevelopAllowsSeveralCopies) {
    windows.Add(basDaemon::kWindowClass, "Halcyra");
    state.CommandLine = "halcyrad.exe /develop";
    EXPECT_TRUE(basDaemon::Startup(plat, ui, state, "C:\\Halcyra"));
    EXPECT_TRUE(windows.broughtToFront.empty());
}

TEST_F(StartupTest, TheLogGoesWhereThisUserCanWriteIt) {
    const std::string local = "C:\\Users\\user\\AppData\\Local";
    struct Case {
        const char* what;
        const char* program;
        bool programFolderRefuses;  // as Program Files does to a standard user
        std::string localAppData;
        std::string folder;
        bool made;
    };
    const Case cases[] = {
        {"an unpacked copy", "C:\\Tools\\Halcyra", false, local, "C:\\Tools\\Halcyra\\", false},
        {"installed", "C:\\Program Files\\Halcyra", true, local, local + "\\Halcyra\\", true},
        {"a root folder", "D:\\", true, local + "\\", local + "\\Halcyra\\", true},
        // Nowhere better: the lines are lost as before.
        {"no local folder", "C:\\Program Files\\Halcyra", true, "", "C:\\Program Files\\Halcyra\\", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files = {};
        sys.shellFolders[platform::ShellFolderId::LocalAppData] = c.localAppData;
        const std::string program = c.program;
        const std::string appPath = program.back() == '\\' ? program : program + "\\";
        if (c.programFolderRefuses) files.readOnly.insert(appPath);
        ASSERT_TRUE(basDaemon::Startup(plat, ui, state, c.program));
        EXPECT_EQ(state.AppPath, appPath);  // the daemon's folder, for the applet
        EXPECT_EQ(Stored("AppPath"), appPath);
        EXPECT_EQ(state.LogFolder, c.folder);
        EXPECT_EQ(files.folders.count(c.folder), c.made ? 1u : 0u);
        // Probing leaves no file behind, and a line lands where the rule says.
        EXPECT_TRUE(files.contents.empty());
        basEventLog::AppendLogLine(plat, state.LogFolder, "a line");
        EXPECT_EQ(files.contents[c.folder + "events.txt"], c.programFolderRefuses && !c.made ? "" : "a line\r\n");
    }
    EXPECT_TRUE(eventLog.entries.empty());
}

TEST_F(StartupTest, ALogFolderThatCannotBeMadeIsReportedToTheEventLog) {
    sys.shellFolders[platform::ShellFolderId::LocalAppData] = "C:\\Users\\user\\AppData\\Local";
    files.readOnly = {"C:\\Program Files\\Halcyra\\", "C:\\Users\\user\\AppData\\Local\\"};
    ASSERT_TRUE(basDaemon::Startup(plat, ui, state, "C:\\Program Files\\Halcyra"));
    ASSERT_EQ(eventLog.entries.size(), 1u);
    const platform::EventRecord& r = eventLog.entries[0].record;
    EXPECT_EQ(r.id, 273u);
    ASSERT_EQ(r.insertions.size(), 3u);
    EXPECT_EQ(r.insertions[0], "C:\\Users\\user\\AppData\\Local\\Halcyra\\");
    EXPECT_EQ(r.insertions[1], "Access is denied.");
    EXPECT_NE(r.insertions[2].find("  The folder C:\\Users\\user\\AppData\\Local\\Halcyra\\ for events.txt could not "
                                   "be made; the message is:  Access is denied."),
              std::string::npos)
        << r.insertions[2];
}

TEST_F(StartupTest, TheServiceWaitIsHeldToTenMinutesAndAHeldValueIsLogged) {
    struct Case {
        const char* stored;  // null: missing
        std::int32_t seconds;
        bool logged;
    };
    const Case cases[] = {{nullptr, 20, false}, {"45", 45, false}, {"0", 0, false},   {"600", 600, false},
                          {"601", 600, true},   {"99999", 600, true}, {"-5", 0, true}, {"", 20, false},
                          {"abc", 20, false},   {"99999999999", 20, false}};
    state.LogFolder = "C:\\Halcyra\\";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        files.contents.clear();
        if (c.stored) Put("SecondsToWaitForService", c.stored);
        Load(Win::W2000);
        EXPECT_EQ(state.ServiceWaitSeconds, c.seconds);
        const std::string log = files.contents["C:\\Halcyra\\events.txt"];
        if (c.logged) {
            EXPECT_NE(log.find("  SecondsToWaitForService is " + std::string(c.stored) + ", outside 0 to 600; each "
                               "service is given " + std::to_string(c.seconds) + " seconds to stop.\r\n"),
                      std::string::npos)
                << log;
        } else {
            EXPECT_EQ(log, "");
        }
        EXPECT_EQ(Stored("SecondsToWaitForService"), c.stored ? c.stored : "<missing>");  // kept as stored
    }
}

class InterceptionTest : public testing_support::DaemonFixture {
protected:
    void SetUp() override { shellWindow = windows.Add("Shell_TrayWnd", "", 42); }
    // The taskbar's process shows a window with this caption.
    platform::WindowManager::Handle ShellShows(const std::string& caption) {
        auto h = windows.Add("#32770", caption, 42);
        hook.Report(h);
        hook.RunDeferred();
        return h;
    }
    platform::WindowManager::Handle shellWindow;
};

TEST_F(InterceptionTest, TitleTestIgnoresCaseAndSurroundingBlanksOnly) {
    Load(Win::W2000);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "Shut Down Windows"), 0);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "  shut down WINDOWS "), 0);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, std::string("Log Off Windows\0junk", 20)), 1);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "Shut  Down Windows"), -1);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, ""), -1);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "   "), -1);  // slot 2 is empty in English
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "Cerrar Windows"), -1);
}

TEST_F(InterceptionTest, SpanishAndGermanAlsoKnowTheirSecondShutdownTitle) {
    Load(Win::W2000, "halcyrad.exe /country=1034");
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "Cerrar Windows"), 2);
    EXPECT_EQ(basDaemon::MatchInterceptTitle(locale, state.InterceptTitles, "Cerrar la sesión en Windows"), 1);
}

// The shell handling the close (and handing activation on) while ours is
// being shown delays ours: the close follows the showing.
TEST_F(InterceptionTest, TheSystemDialogIsClosedOnceOursIsUp) {
    Load(Win::W2000);
    std::vector<bool> upAtClose;
    windows.failClose = [&](platform::WindowManager::Handle) { upAtClose.push_back(form->IsVisible()); };
    ShellShows("Shut Down Windows");
    EXPECT_EQ(upAtClose, std::vector<bool>{true});
}

TEST_F(InterceptionTest, LogOffDialogIsClosedAndOursOpensWithLogOff) {
    Put("ShutdownType", "Shutdown");
    auto& m = Load(Win::W2000);
    EXPECT_EQ(hook.armedFor, 42u);
    ASSERT_EQ(m.cmbShutdown.ListIndex(), 1);
    auto sys_dialog = ShellShows("Log Off Windows");
    EXPECT_EQ(windows.closePosted, std::vector<platform::WindowManager::Handle>{sys_dialog});
    EXPECT_TRUE(form->IsVisible());
    EXPECT_TRUE(form->topmost);
    EXPECT_EQ(m.cmbShutdown.ListIndex(), 0);
    EXPECT_EQ(m.SelectedAction(), frmMain::Action::Logoff);
    EXPECT_EQ(m.lblExplain.Caption(), "Ends your session, leaving the computer running on full power.");
    EXPECT_FALSE(state.LogoffIntercepted);
}

TEST_F(InterceptionTest, ShutDownDialogKeepsThePreviousChoice) {
    auto& m = Load(Win::NT4);
    m.optRestart.SetValue(true);
    ShellShows("Shut Down Windows");
    EXPECT_TRUE(form->IsVisible());
    EXPECT_TRUE(m.optRestart.Value());
    form->Click("cmdCancel");
    ShellShows("Log Off Windows");
    EXPECT_TRUE(m.optLogoff.Value());
}

// Folder windows belong to the shell's process too: one named like the
// system's dialog is left alone, and leaves no log-off choice behind.
TEST_F(InterceptionTest, AWindowOfAnotherClassWithTheCaptionIsLeftAlone) {
    Put("ShutdownType", "Restart");
    Load(Win::W2000);
    for (const char* cls : {"CabinetWClass", "ExploreWClass"}) {
        auto folder = windows.Add(cls, "Log Off Windows", 42);
        hook.Report(folder);
        hook.RunDeferred();
    }
    EXPECT_TRUE(windows.closePosted.empty());
    EXPECT_FALSE(form->IsVisible());
    ShellShows("Shut Down Windows");
    EXPECT_TRUE(form->IsVisible());
    EXPECT_EQ(main->SelectedAction(), frmMain::Action::Restart);
}

TEST_F(InterceptionTest, OtherWindowsAndADisabledHookAreIgnored) {
    Load(Win::W2000);
    ShellShows("Taskbar and Start Menu Properties");
    ShellShows("");
    EXPECT_FALSE(form->IsVisible());
    EXPECT_TRUE(windows.closePosted.empty());
    hook.SetEnabled(false);
    ShellShows("Shut Down Windows");
    EXPECT_FALSE(form->IsVisible());
}

TEST_F(InterceptionTest, DimmerStartsWithThePromptAndGoesWithCancel) {
    state.AppPath = "C:\\Halcyra\\";
    sys.files["C:\\Halcyra\\dusker.exe"] = 0x20;
    Load(Win::W2000);
    // Ours first: the dimmer's window comes long after it in any order.
    std::vector<bool> upAtStart;
    processes.onStart = [&](const std::string&) { upAtStart.push_back(form->IsVisible()); };
    ShellShows("Shut Down Windows");
    EXPECT_EQ(upAtStart, std::vector<bool>{true});
    auto dimmer = windows.Add("FakeO", "");
    form->Click("cmdCancel");
    EXPECT_EQ(windows.closePosted.back(), dimmer);
}

// A request only shows the dialog: it was filled again when it was hidden,
// and is filled on the way only when the settings changed since.
TEST_F(InterceptionTest, TheHiddenDialogIsRefilledAndAChangeWhileHiddenStillShows) {
    auto& m = Load(Win::W2000);
    ShellShows("Shut Down Windows");
    m.chkRunThisFirst.SetValue(0);
    m.Form_QueryUnload();  // the close box: nothing saved
    EXPECT_FALSE(form->IsVisible());
    EXPECT_EQ(m.chkRunThisFirst.Value(), 1);
    Put("RunPrograms", "0");
    ShellShows("Shut Down Windows");
    EXPECT_EQ(m.chkRunThisFirst.Value(), 0);
}

class TrayTest : public testing_support::DaemonFixture {};

TEST_F(TrayTest, DoubleClickOpensOnlyWhileHidden) {
    auto& m = Load(Win::W2000);
    m.Tray_MouseMessage(515);
    EXPECT_TRUE(form->IsVisible());
    Put("RunPrograms", "0");
    m.Tray_MouseMessage(515);  // already shown: nothing reloads
    EXPECT_EQ(m.chkRunThisFirst.Value(), 1);
    m.Tray_MouseMessage(512);
    form->Click("cmdCancel");
    EXPECT_FALSE(form->IsVisible());
}

TEST_F(TrayTest, RightClickMenuWithShutdownAsDefault) {
    auto& m = Load(Win::W2000);
    auto& menu = static_cast<ui::memory::MemMenu&>(m.mnuSystemTray);
    menu.pick = "selOptions";
    m.Tray_MouseMessage(517);
    EXPECT_EQ(menu.popups, 1);
    EXPECT_EQ(menu.lastDefault, "selShutdown");
    EXPECT_EQ(processes.started,
              std::vector<std::string>{"\"C:\\WINNT\\system32\\rundll32.exe\" shell32.dll,Control_RunDLL halcfg.cpl"});
    menu.pick = "selShutdown";
    m.Tray_MouseMessage(517);
    EXPECT_TRUE(form->IsVisible());
    menu.pick = "selOptions";
    m.Tray_MouseMessage(517);  // shown: the icon does nothing
    EXPECT_EQ(menu.popups, 2);
}

// Rundll32 by its full path: a copy planted beside an unpacked daemon never runs.
TEST_F(TrayTest, OptionsOpensTheAppletBesideTheDaemonElseTheInstalledOne) {
    sys.files["C:\\Program Files\\Halcyra\\halcfg.cpl"] = 0x20;
    EXPECT_EQ(basDaemon::OptionsCommand(sys, 2, "C:\\Program Files\\Halcyra\\"),
              "\"C:\\WINNT\\system32\\rundll32.exe\" shell32.dll,Control_RunDLL "
              "\"C:\\Program Files\\Halcyra\\halcfg.cpl\"");
    EXPECT_EQ(basDaemon::OptionsCommand(sys, 2, "C:\\Halcyra\\"),
              "\"C:\\WINNT\\system32\\rundll32.exe\" shell32.dll,Control_RunDLL halcfg.cpl");
    sys.windowsDir = "C:\\WINDOWS";
    EXPECT_EQ(basDaemon::OptionsCommand(sys, 1, "C:\\Halcyra\\"),
              "\"C:\\WINDOWS\\rundll32.exe\" shell32.dll,Control_RunDLL halcfg.cpl");
    sys.systemDir = "";
    EXPECT_EQ(basDaemon::OptionsCommand(sys, 2, "C:\\Halcyra\\"), "");
}

TEST_F(TrayTest, OptionsThatCannotStartIsLogged) {
    state.AppPath = state.LogFolder = "C:\\Halcyra\\";
    auto& m = Load(Win::W2000);
    processes.succeed = false;
    static_cast<ui::memory::MemMenu&>(m.mnuSystemTray).pick = "selOptions";
    m.Tray_MouseMessage(517);
    EXPECT_NE(files.contents["C:\\Halcyra\\events.txt"].find(
                  "Didn't run \"C:\\WINNT\\system32\\rundll32.exe\" shell32.dll,Control_RunDLL halcfg.cpl at "),
              std::string::npos);
    ASSERT_EQ(eventLog.entries.size(), 1u);
    EXPECT_EQ(eventLog.entries[0].record.id, 267u);
    EXPECT_EQ(eventLog.entries[0].record.insertions.front(),
              "\"C:\\WINNT\\system32\\rundll32.exe\" shell32.dll,Control_RunDLL halcfg.cpl");
}

class UnloadTest : public testing_support::DaemonFixture {
protected:
    frmMain& LoadWithEnd(Win w = Win::W2000, const std::string& cmd = "") {
        auto& m = Load(w, cmd);
        m.OnEnd = [this] { ++ended; };
        return m;
    }
    void SetPassword(const std::string& pw) { Put("Admin", basEncrypt::Scramble(locale, pw)); }
    void UserTypes(const char* text) {
        ui.OnModal("frmPasswordToAccess", [text](MemoryForm& f) {
            if (text) {
                f.Type("txtPassword", text);
                f.Click("cmdOK");
            } else {
                f.Click("cmdCancel");
            }
        });
    }
    int ended = 0;
};

TEST_F(UnloadTest, WithoutPasswordTheDaemonEndsAndTakesItsIcon) {
    auto& m = LoadWithEnd();
    form->GetMenu("mnuSystemTray");
    m.selExit_Click();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(ui.modalShown.empty());
    EXPECT_EQ(shell.calls.back().message, platform::TrayMessage::Delete);
}

TEST_F(UnloadTest, CancelledPromptStaysWithoutAMessage) {
    SetPassword("Secret");
    auto& m = LoadWithEnd();
    UserTypes("wrong");
    m.selExit_Click();
    EXPECT_EQ(ended, 0);
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "Incorrect password.  Halcyra cannot be unloaded at this time.");
    EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbInformation);
    // A later prompt starts empty: cancelling it says nothing.
    UserTypes(nullptr);
    m.selExit_Click();
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(ui.messageBoxes.size(), 1u);
    UserTypes("");
    m.selExit_Click();
    EXPECT_EQ(ui.messageBoxes.size(), 1u);
}

TEST_F(UnloadTest, RightPasswordInAnyCaseEnds) {
    SetPassword("Secret");
    auto& m = LoadWithEnd();
    UserTypes("sECRET");
    m.selExit_Click();
    EXPECT_EQ(ended, 1);
}

TEST_F(UnloadTest, WrongPasswordMessageSpeaksTheLanguage) {
    SetPassword("x");
    SetWindowsLanguage(1031);
    auto& m = LoadWithEnd();
    UserTypes("y");
    m.selExit_Click();
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text,
              "Falsches Kennwort. Halcyra kann nicht diesmal aus dem Programm genommen werden.");
}

// A password that is there but cannot be read keeps the daemon, as the
// applet keeps its settings locked.
TEST_F(UnloadTest, AnUnreadablePasswordKeepsTheDaemon) {
    reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "Admin",
              {platform::kRegDword, std::string("\1\0\0\0", 4)});
    auto& m = LoadWithEnd();
    m.selExit_Click();
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(ui.modalShown.empty());
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text,
              "The stored password could not be read.  Halcyra cannot be unloaded at this time.");
}

TEST_F(UnloadTest, CloseBoxHidesAVisibleDialogAndEndsAHiddenOne) {
    auto& m = LoadWithEnd();
    m.ShowShutdownPrompt();
    EXPECT_FALSE(form->RequestClose());
    EXPECT_FALSE(form->IsVisible());
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(form->RequestClose());  // hidden: the session is ending
    EXPECT_EQ(ended, 1);
    m.Form_QueryUnload();
    EXPECT_EQ(ended, 1);  // unloads once
}

TEST_F(UnloadTest, MinimiseHides) {
    auto& m = LoadWithEnd();
    m.ShowShutdownPrompt();
    m.Form_Minimize();
    EXPECT_FALSE(form->IsVisible());
    EXPECT_EQ(ended, 0);
}

}  // namespace

namespace {

class RepeatedReportTest : public testing_support::DaemonFixture {};

TEST_F(RepeatedReportTest, OneSystemDialogIsOneInterception) {
    windows.Add("Shell_TrayWnd", "", 42);
    state.AppPath = "C:\\Halcyra\\";
    sys.files["C:\\Halcyra\\dusker.exe"] = 0x20;
    Load(Win::W2000);
    auto dialog = windows.Add("#32770", "Shut Down Windows", 42);
    hook.Report(dialog);  // created
    hook.Report(dialog);  // shown
    hook.RunDeferred();
    hook.Report(dialog);  // renamed, while its close is under way
    hook.RunDeferred();
    EXPECT_EQ(windows.closePosted, std::vector<platform::WindowManager::Handle>{dialog});
    EXPECT_EQ(processes.started.size(), 1u);  // one dimmer
    // Once it is gone, the next dialog is a new request.
    windows.windows.erase(dialog);
    form->Click("cmdCancel");
    auto next = windows.Add("#32770", "Shut Down Windows", 42);
    hook.Report(next);
    hook.RunDeferred();
    EXPECT_EQ(windows.closePosted, (std::vector<platform::WindowManager::Handle>{dialog, next}));
    EXPECT_TRUE(form->IsVisible());
}

}  // namespace

TEST_F(InterceptionTest, AHandlerThatThrowsIsReportedAndTheNextInterceptionWorks) {
    Load(Win::W2000);
    windows.failClose = [this](platform::WindowManager::Handle) {
        windows.failClose = nullptr;
        throw std::runtime_error("Out of memory");
    };
    ShellShows("Shut Down Windows");
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
    EXPECT_EQ(ui.messageBoxes[0].text, "Out of memory");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbCritical);
    EXPECT_FALSE(form->IsVisible());
    EXPECT_FALSE(main->Unloaded);

    auto next = ShellShows("Shut Down Windows");
    EXPECT_EQ(windows.closePosted, std::vector<platform::WindowManager::Handle>{next});
    EXPECT_TRUE(form->IsVisible());
}

TEST(FormBinding, NamesTheTemplateLacksFailAtOnce) {
    testing_support::DaemonUi ui;
    auto form = ui.CreateForm("frmMain", nullptr);
    EXPECT_THROW(form->OnClick("cmdOk", [] {}), std::logic_error);
    EXPECT_THROW(form->OnChange("txtNothing", [] {}), std::logic_error);
    EXPECT_THROW(form->OnMouseDown("cmdOkay", [](const ui::MouseEvent&) {}), std::logic_error);
    EXPECT_THROW(form->GetButton("cmdOkay"), std::logic_error);
    EXPECT_THROW(form->GetMenu("mnuTray"), std::logic_error);
    EXPECT_NO_THROW(form->OnClick("selExit", [] {}));  // a menu entry is clickable
    EXPECT_THROW(ui.CreateForm("frmNowhere", nullptr), std::logic_error);
}

TEST_F(InterceptionTest, ADisabledHookDropsWhatItHadDeferred) {
    Load(Win::W2000);
    auto dialog = windows.Add("#32770", "Shut Down Windows", 42);
    hook.Report(dialog);
    hook.SetEnabled(false);
    hook.SetEnabled(true);
    hook.RunDeferred();
    EXPECT_TRUE(windows.closePosted.empty());
    EXPECT_FALSE(form->IsVisible());
}

TEST_F(InterceptionTest, RequestsWhileTheDialogIsBeingShownAreThatShowings) {
    sys.files["C:\\Halcyra\\dusker.exe"] = 0x20;
    state.AppPath = "C:\\Halcyra\\";
    Load(Win::NT4);
    main->optShutdown.SetValue(true);
    auto first = windows.Add("#32770", "Shut Down Windows", 42);
    platform::WindowManager::Handle second;
    // While the first request is being shown, a log-off request and a tray
    // double click arrive.
    ui.Post([&] {
        second = windows.Add("#32770", "Log Off Windows", 42);
        hook.Report(second);
        hook.RunDeferred();
        form->MouseMove(static_cast<int>(basTrayIcon::kMouseDoubleClick), 0);
    });
    hook.Report(first);
    hook.RunDeferred();
    // Each system dialog is closed once ours is up: the second's close comes
    // while the first is being shown.
    EXPECT_EQ(windows.closePosted, (std::vector<platform::WindowManager::Handle>{second, first}));
    EXPECT_EQ(processes.started, std::vector<std::string>{"\"C:\\Halcyra\\dusker.exe\""});
    EXPECT_TRUE(form->IsVisible());
    EXPECT_EQ(main->SelectedAction(), frmMain::Action::Logoff);
    EXPECT_FALSE(state.LogoffIntercepted);
}

TEST_F(InterceptionTest, ANewTaskbarGetsTheIconBackAndIsHooked) {
    windows.windows.clear();  // the daemon starts before the shell
    Load(Win::W2000);
    EXPECT_EQ(hook.armedFor, 0u);
    auto calls = shell.calls.size();
    shellWindow = windows.Add("Shell_TrayWnd", "", 77);
    shell.icons.clear();  // a new taskbar's notification area is empty
    form->ShellRestarts();
    EXPECT_EQ(hook.armedFor, 77u);
    ASSERT_EQ(shell.calls.size(), calls + 1);
    EXPECT_EQ(shell.calls.back().message, platform::TrayMessage::Add);
    auto dialog = windows.Add("#32770", "Shut Down Windows", 77);
    hook.Report(dialog);
    hook.RunDeferred();
    EXPECT_TRUE(form->IsVisible());

    // A hook switched off stays off on the next shell; no icon when hidden.
    Put("ShowIcon", "0");
    hook.SetEnabled(false);
    form->ShellRestarts();
    EXPECT_FALSE(hook.enabled);
    EXPECT_EQ(shell.calls.size(), calls + 1);
}
