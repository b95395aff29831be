// The applet's settings dialog: its opening, the password gate and the
// locked state, Apply and the actions on the daemon and its log.
#include "applet/PageContext.h"
#include "support/applet_fixture.h"

#include <algorithm>
#include <set>

using testing_support::AppletFixture;
using ui::memory::MemoryForm;
using Names = std::vector<std::string>;

namespace {

class AppletOpening : public AppletFixture {};

TEST_F(AppletOpening, OpensUnlockedOnItsFirstPageWithApplyDisabled) {
    Open([this](MemoryForm& f) {
        EXPECT_TRUE(std::find(ui.modalShown.begin(), ui.modalShown.end(), "frmPasswordToAccess") == ui.modalShown.end());
        EXPECT_EQ(f.GetTab("SSTab1").SelectedTab(), 0);
        EXPECT_TRUE(f.GetListView("lsvRun").Visible());
        EXPECT_FALSE(f.GetButton("cmdUnload").Visible());
        EXPECT_FALSE(f.GetCheckBox("chkShowIcon").Visible());
        Page(f, 3);
        EXPECT_TRUE(f.GetButton("cmdUnload").Visible());
        EXPECT_FALSE(f.GetListView("lsvRun").Visible());
        // No daemon runs, and services are not stopped by default.
        EXPECT_EQ(Disabled(f), (Names{"cmdApply", "lsvStop", "cmdUnload"}));
        f.Click("cmdHelp");
    });
    EXPECT_FALSE(dlg->Locked());
    EXPECT_EQ(state.SettingsRoot, platform::RootKey::CurrentUser);
    EXPECT_EQ(state.DayInitials[4], "H");
    auto& run = form->GetListView("lsvRun");
    EXPECT_EQ(run.ColumnHeader(0), "Application");
    EXPECT_EQ(run.ColumnHeader(1), "Days Run");
    EXPECT_EQ(form->GetListView("lsvStop").ColumnHeader(0), "Services");
    EXPECT_EQ(form->GetLabel("lblPassword").Caption(), "Set the password to prevent changing settings");
    EXPECT_TRUE(form->GetOption("optOrder0").Value());
    EXPECT_EQ(shell.opened, Names{"C:\\Program Files\\Halcyra\\halcyraset.html"});
}

TEST_F(AppletOpening, Windows98LeavesTheEventLogAndTheServicesAlone) {
    SetWindows98();
    Put("LogEV", "1");
    Put("StopServices", "1");
    Open([](MemoryForm& f) { f.Click("cmdOK"); });
    EXPECT_EQ(Disabled(*form), (Names{"cmdApply", "lsvStop", "cmdUpServices", "cmdDownServices", "chkStopServices",
                                      "lblStopExplain", "cmdUnload", "chkLogEV"}));
    EXPECT_EQ(form->GetListView("lsvStop").BackColor(), ui::SysColor::ButtonFace);
    EXPECT_EQ(Stored("LogEV"), "1");  // shown off, not changed: stays
}

TEST_F(AppletOpening, PasswordGate) {
    struct Case {
        const char* stored;   // null: there, but of a type that cannot be read
        const char* entered;  // null: the prompt is cancelled
        std::uint16_t language;
        bool locked;
        const char* message;  // null: none
    };
    const Case cases[] = {
        {"Secret", "sECRET", 1033, false, nullptr},
        {"Secret", nullptr, 1033, true, nullptr},
        {"Secret", "guess", 1033, true, "Incorrect password."},
        {"Secret", "guess", 3082, true, "Palabra de paso incorrecta."},
        {"Secret", "guess", 1031, true, "Falsches Kennwort."},
        {nullptr, "", 1033, true, "The stored password could not be read, so the settings stay locked."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entered ? c.entered : "cancelled");
        ui.messageBoxes.clear();
        SetWindowsLanguage(c.language);
        if (c.stored)
            SetPassword(c.stored);
        else
            reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "Admin",
                      {platform::kRegDword, std::string("\1\0\0\0", 4)});
        PromptAnswers(c.entered);
        size_t boxesWhenShown = 99;
        Open([&](MemoryForm&) { boxesWhenShown = ui.messageBoxes.size(); });
        EXPECT_EQ(dlg->Locked(), c.locked);
        if (c.message) {
            ASSERT_EQ(ui.messageBoxes.size(), 1u);
            EXPECT_EQ(boxesWhenShown, 1u);  // before the dialog shows
            EXPECT_EQ(ui.messageBoxes[0].text, c.message);
            EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
            EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbExclamation);
        } else {
            EXPECT_TRUE(ui.messageBoxes.empty());
        }
    }
}

class AppletLock : public AppletFixture {
protected:
    void OpenLocked(std::function<void(MemoryForm&)> user = {}) {
        SetPassword("Secret");
        PromptAnswers(nullptr);
        Open(std::move(user));
    }
};

TEST_F(AppletLock, LockedStateDisablesExactlyItsControls) {
    StartDaemon();
    OpenLocked();
    EXPECT_TRUE(dlg->Locked());
    EXPECT_EQ(Disabled(*form),
              (Names{"cmdApply", "lsvRun", "cmdAdd", "cmdEdit", "cmdRemove", "cmdUp", "cmdDown", "cmdWizard",
                     "chkRunThisFirst", "lsvStop", "chkStopServices", "lblSeconds", "txtServiceSeconds", "lblSec",
                     "chkShowIcon", "chkLock", "chkForceAppsToClose", "chkRunAtAnyShutdown", "optOrder0",
                     "optOrder1", "cmdUnload",
                     "cmdView", "cmdPurge", "chkLogEV"}));
    EXPECT_EQ(form->GetListView("lsvRun").BackColor(), ui::SysColor::ButtonFace);
    EXPECT_EQ(form->GetListView("lsvStop").BackColor(), ui::SysColor::ButtonFace);
    EXPECT_EQ(form->GetLabel("lblPassword").Caption(), "Enter the password to gain access to settings.");
}

TEST_F(AppletLock, PasswordButtonUnlocksOnlyWithTheStoredPassword) {
    for (bool windows98 : {false, true}) {
        SCOPED_TRACE(windows98 ? "Windows 98" : "NT");
        if (windows98) SetWindows98();
        ui.messageBoxes.clear();
        OpenLocked([this](MemoryForm& f) {
            Page(f, 3);
            PromptAnswers(nullptr);
            f.Click("cmdPassword");
            ASSERT_EQ(ui.messageBoxes.size(), 1u);
            EXPECT_EQ(ui.messageBoxes[0].text, "Incorrect password.");
            EXPECT_TRUE(dlg->Locked());
            PromptAnswers("SECRET");
            f.Click("cmdPassword");
        });
        EXPECT_EQ(ui.messageBoxes.size(), 1u);
        EXPECT_FALSE(dlg->Locked());
        // Unload comes back with no daemon; the seconds field stays off, and
        // the event log box on Windows 98.
        Names off{"cmdApply", "lblSeconds", "txtServiceSeconds", "lblSec"};
        if (windows98) off = {"cmdApply", "cmdUpServices", "cmdDownServices", "lblSeconds", "txtServiceSeconds",
                              "lblSec", "lblStopExplain", "chkLogEV"};
        EXPECT_EQ(Disabled(*form), off);
        EXPECT_EQ(form->GetListView("lsvRun").BackColor(), ui::SysColor::Window);
        EXPECT_EQ(form->GetListView("lsvStop").BackColor(), ui::SysColor::Window);
        EXPECT_EQ(form->GetLabel("lblPassword").Caption(), "Set the password to prevent changing settings.");
    }
}

TEST_F(AppletLock, SpanishPasswordButtonHasItsOwnWrongPasswordText) {
    SetWindowsLanguage(1034);
    OpenLocked([this](MemoryForm& f) {
        Page(f, 3);
        PromptAnswers("guess");
        f.Click("cmdPassword");
    });
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "Incorrecta contraseña.");
    EXPECT_EQ(form->GetLabel("lblPassword").Caption(),
              "Incorpore la palabra de paso para acceder a las configuraciones.");
}

class AppletApply : public AppletFixture {};

TEST_F(AppletApply, OkWithNothingChangedWritesNothing) {
    Open([](MemoryForm& f) { f.Click("cmdOK"); });
    EXPECT_TRUE(reg.written.empty());
    EXPECT_TRUE(form->closed);
}

// Locked, nothing can change, so OK writes nothing: the lock stays even
// where a value could not be read.
TEST_F(AppletApply, LockedOkLeavesEveryValueAsStored) {
    for (auto [name, value] : {std::pair{"UseHalcyra", "1"}, {"ShowIcon", "0"}, {"LogEV", "0"},
                               {"SecondsToWaitForService", "abc"}, {"RunPrograms", "0"}, {"StopServices", "1"},
                               {"Order", "False"}})
        Put(name, value);
    reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "UserCanModifyApps",
              {platform::kRegDword, std::string("\0\0\0\0", 4)});
    SetPassword("Secret");
    PromptAnswers(nullptr);
    reg.written.clear();
    Open([](MemoryForm& f) { f.Click("cmdOK"); });
    EXPECT_TRUE(form->GetOption("optOrder1").Value());
    EXPECT_EQ(reg.written, Names{});
    EXPECT_EQ(reg.Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "UserCanModifyApps")->type,
              platform::kRegDword);
}

// A value that could not be read, or whose write fails, is named to the
// user; the others are written.
TEST_F(AppletApply, WhatCannotBeWrittenIsNamedAndStaysAsStored) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        const char* named;
    };
    for (const Case& c : {
             Case{"a type the applet does not read",
                  [this] {
                      reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "UserCanModifyApps",
                                  {platform::kRegDword, std::string("\1\0\0\0", 4)});
                  },
                  "UserCanModifyApps"},
             Case{"a failed write",
                  [this] {
                      reg.InjectFaults([](platform::fake::FakeRegistry::Call call, const std::string&,
                                            const std::string& name) {
                          return call == platform::fake::FakeRegistry::Call::Set && name == "UserCanModifyApps" ? 5
                                                                                                              : 0;
                      });
                  },
                  "UserCanModifyApps"},
             // The box showed the default: its value was not read.
             Case{"a read that failed once while the dialog opened",
                  [this] {
                      Put("UserCanModifyApps", "1");
                      reg.InjectFaults([failures = 1](platform::fake::FakeRegistry::Call call, const std::string&,
                                                      const std::string& name) mutable {
                          return call == platform::fake::FakeRegistry::Call::Query && name == "UserCanModifyApps" &&
                                         failures-- > 0
                                     ? 5
                                     : 0;
                      });
                  },
                  "UserCanModifyApps"},
         }) {
        SCOPED_TRACE(c.what);
        reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
        ui.messageBoxes.clear();
        c.arrange();
        Open([](MemoryForm& f) {
            Page(f, 2);
            f.Click("chkLock");
            f.Click("chkForceAppsToClose");
            f.Click("cmdOK");
        });
        reg.InjectFaults(nullptr);
        EXPECT_EQ(Stored("UseHalcyra"), "1");
        ASSERT_EQ(ui.messageBoxes.size(), 1u);
        EXPECT_EQ(ui.messageBoxes[0].text,
                  std::string("These settings could not be saved and stay as they were stored: ") + c.named);
    }
}

TEST_F(AppletApply, ChangesEnableApplyAndApplyStoresThemAtOnce) {
    Open([this](MemoryForm& f) {
        Page(f, 2);
        for (const char* option : {"chkLock", "chkForceAppsToClose", "optOrder1"}) {
            EXPECT_FALSE(f.GetButton("cmdApply").Enabled());
            f.Click(option);
            EXPECT_TRUE(f.GetButton("cmdApply").Enabled()) << option;
            f.Click("cmdApply");
        }
        EXPECT_EQ(Stored("UserCanModifyApps"), "0");
        EXPECT_EQ(Stored("UseHalcyra"), "1");
        EXPECT_EQ(Stored("Order"), "False");
        f.Click("cmdCancel");
    });
    EXPECT_TRUE(form->closed);
}

// "RunAtAnyShutdown": missing is off; the box stores "1" or "0" on Apply,
// only when it changed. Where Windows cannot hold the end of the session
// (before Vista) the box is off limits, says why, and the stored value stays.
TEST_F(AppletApply, TheAnyShutdownBoxStoresItsFlagWhereWindowsCanHoldTheEnd) {
    struct Case {
        const char* stored;  // null: not there
        bool canHold;
        std::uint16_t language;
        const char* after;  // what is stored after a click on the box and OK
        const char* toolTip;
    };
    const Case cases[] = {
        {nullptr, true, 1033, "1", ""},
        {"1", true, 1033, "0", ""},
        {"1", false, 1033, "1",
         "This version of Windows does not let a program hold the end of the session; it needs Windows Vista or "
         "later."},
        {nullptr, false, 1036, "<missing>",
         "Cette version de Windows ne permet pas à un programme de retenir la fin de la session ; il faut Windows "
         "Vista ou une version ultérieure."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored ? c.stored : "missing") + (c.canHold ? "" : ", no hold"));
        reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
        if (c.stored) Put("RunAtAnyShutdown", c.stored);
        session.canHold = c.canHold;
        SetWindowsLanguage(c.language);
        reg.written.clear();
        Open([&](MemoryForm& f) {
            Page(f, 2);
            ui::CheckBox& box = f.GetCheckBox("chkRunAtAnyShutdown");
            EXPECT_EQ(box.Value(), c.stored && c.stored[0] == '1' ? 1 : 0);
            EXPECT_EQ(box.Enabled(), c.canHold);
            EXPECT_EQ(box.ToolTip(), c.toolTip);
            f.Click("chkRunAtAnyShutdown");
            EXPECT_EQ(f.GetButton("cmdApply").Enabled(), c.canHold);
            f.Click("cmdOK");
        });
        EXPECT_EQ(Stored("RunAtAnyShutdown"), c.after);
        if (!c.canHold) {
            EXPECT_EQ(reg.written, Names{});
        }
    }
}

TEST_F(AppletApply, CancelWritesNothing) {
    Open([](MemoryForm& f) {
        Page(f, 2);
        f.Click("chkLock");
        f.Click("cmdCancel");
    });
    EXPECT_TRUE(reg.written.empty());
}

TEST_F(AppletApply, TheIconGoesAndComesBackOnTheDaemonsWindowOnly) {
    windows.Add("#32770", "Halcyra");  // a message box of ours, found first by title
    auto daemon = StartDaemon();
    Open([](MemoryForm& f) {
        Page(f, 2);
        f.Click("chkShowIcon");
        f.Click("cmdApply");
        f.Click("chkShowIcon");
        f.Click("cmdApply");
    });
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].message, platform::TrayMessage::Delete);
    EXPECT_EQ(shell.calls[0].data.owner, daemon);
    EXPECT_EQ(shell.calls[0].data.id, 1u);
    const auto& add = shell.calls[1];
    EXPECT_EQ(add.message, platform::TrayMessage::Add);
    EXPECT_EQ(add.data.owner, daemon);
    EXPECT_EQ(add.data.id, 1u);
    EXPECT_EQ(add.data.flags, 7u);
    EXPECT_EQ(add.data.callbackMessage, 512u);
    EXPECT_EQ(add.data.icon, form->GetPicture("imgMain").IconHandle());
    EXPECT_EQ(add.data.tip, "Halcyra");
    EXPECT_TRUE(shell.hiddenButtons.empty());
}

TEST_F(AppletApply, WithoutTheDaemonNoIconChangesButTheValuesAreSaved) {
    Open([](MemoryForm& f) {
        Page(f, 2);
        f.Click("chkShowIcon");
        f.Click("cmdApply");
    });
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(Stored("ShowIcon"), "0");
}

class AppletActions : public AppletFixture {
protected:
    static constexpr const char* kLog = "C:\\Halcyra\\events.txt";
    AppletActions() { Put("AppPath", "C:\\Halcyra\\"); }
    void OnActions(const char* button) {
        Open([button](MemoryForm& f) {
            Page(f, 3);
            f.Click(button);
        });
    }
};

// What the daemon does with WM_CLOSE, and whether its process may be opened;
// only an ended daemon is reported unloaded.
struct UnloadCase {
    const char* name;
    enum { Ends, HidesItsDialog, NeverAnswers } daemon;
    bool openable;
    const char* showIcon;  // stored "ShowIcon"; null: none (1)
    std::uint16_t language;
    bool ended;
    const char* message;
};

class AppletUnload : public AppletActions, public testing::WithParamInterface<UnloadCase> {};

TEST_P(AppletUnload, SaysUnloadedOnlyWhenTheDaemonEndedAndPutsItsIconBackOtherwise) {
    const UnloadCase& c = GetParam();
    SetWindowsLanguage(c.language);
    if (c.showIcon) Put("ShowIcon", c.showIcon);
    auto box = windows.Add("#32770", "Halcyra");  // a message box of ours, found first by title
    auto daemon = StartDaemon();
    if (c.daemon == UnloadCase::HidesItsDialog) windows.closeAnswers[daemon] = 0;
    if (c.daemon == UnloadCase::NeverAnswers) windows.hung.insert(daemon);
    if (!c.openable) processes.unopenable.insert(kDaemonProcess);
    OnActions("cmdUnload");

    EXPECT_EQ(windows.closeSent, std::vector<platform::WindowHandle>{daemon});
    EXPECT_TRUE(windows.Exists(box));
    // A busy daemon holds the Control Panel a few seconds at most.
    for (std::uint32_t ms : windows.closeTimeouts) EXPECT_TRUE(ms > 0 && ms <= 10000) << ms;
    for (std::uint32_t ms : processes.waits) EXPECT_LE(ms, 10000u);
    EXPECT_EQ(processes.waits.empty(), !c.openable);
    EXPECT_GE(ui.doEvents, 1);

    bool iconBack = !c.ended && !(c.showIcon && std::string(c.showIcon) == "0");
    ASSERT_EQ(shell.calls.size(), iconBack ? 2u : 1u);
    EXPECT_EQ(shell.calls[0].message, platform::TrayMessage::Delete);
    EXPECT_EQ(shell.calls[0].data.owner, daemon);
    if (iconBack) {
        const auto& add = shell.calls[1];
        EXPECT_EQ(add.message, platform::TrayMessage::Add);
        EXPECT_EQ(add.data.owner, daemon);
        EXPECT_EQ(add.data.id, 1u);
        EXPECT_EQ(add.data.icon, form->GetPicture("imgMain").IconHandle());
        EXPECT_EQ(add.data.tip, "Halcyra");
    }
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, c.message);
    EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
    EXPECT_EQ(ui.messageBoxes[0].flags, c.ended ? ui::kMbInformation : ui::kMbExclamation);
    // Unload stays for a daemon that still runs.
    EXPECT_EQ(form->GetButton("cmdUnload").Enabled(), !c.ended);
}

const UnloadCase kUnloadCases[] = {
    {"Ends", UnloadCase::Ends, true, nullptr, 1033, true, "Halcyra was detected and is now unloaded."},
    {"DialogShownOnlyHides", UnloadCase::HidesItsDialog, true, nullptr, 1033, false,
     "Halcyra was detected but is still running and was not unloaded."},
    {"DialogShownWithoutIcon", UnloadCase::HidesItsDialog, true, "0", 1040, false,
     "Halcyra è stato rilevato ma è ancora in esecuzione e non è stato scaricato."},
    {"BusyNeverAnswers", UnloadCase::NeverAnswers, true, "1", 3082, false,
     "Halcyra fue detectado pero sigue en ejecución y no se descargó."},
    // Not ours to open: its window going is the only sign left.
    {"UnopenableEnds", UnloadCase::Ends, false, nullptr, 1031, true,
     "Halcyra wurde ermittelt und wird jetzt aus dem Programm genommen."},
    {"UnopenableStays", UnloadCase::HidesItsDialog, false, nullptr, 1036, false,
     "Halcyra a été détecté mais est toujours en cours d'exécution et n'a pas été déchargé."},
};
INSTANTIATE_TEST_SUITE_P(Outcomes, AppletUnload, testing::ValuesIn(kUnloadCases),
                         [](const testing::TestParamInfo<UnloadCase>& info) { return info.param.name; });

TEST_F(AppletActions, UnloadIsOffWithoutTheDaemonAndAMessageBoxIsNoDaemon) {
    windows.Add("#32770", "Halcyra");
    OnActions("cmdUnload");
    EXPECT_FALSE(form->GetButton("cmdUnload").Enabled());
    EXPECT_TRUE(windows.closeSent.empty());
    // A daemon gone between the opening and the click: nothing to say.
    auto daemon = StartDaemon();
    Open([&](MemoryForm& f) {
        Page(f, 3);
        EXPECT_TRUE(f.GetButton("cmdUnload").Enabled());
        windows.windows.erase(daemon);
        f.Click("cmdUnload");
    });
    EXPECT_FALSE(form->GetButton("cmdUnload").Enabled());
    EXPECT_TRUE(windows.closeSent.empty());
    EXPECT_TRUE(ui.messageBoxes.empty());
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(AppletActions, ViewOpensTheLogInNotepad) {
    sys.files[kLog] = 0x20;
    OnActions("cmdView");
    EXPECT_EQ(processes.started, Names{"\"C:\\WINNT\\system32\\notepad.exe\" \"C:\\Halcyra\\events.txt\""});
    EXPECT_TRUE(ui.messageBoxes.empty());

    processes.succeed = false;
    OnActions("cmdView");
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "Cannot find Notepad to view C:\\Halcyra\\events.txt");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbCritical);
}

TEST_F(AppletActions, ViewAndPurgeWithoutALogSaySo) {
    sys.files["C:\\Halcyra\\events.txt\\"] = 0x10;
    SetWindowsLanguage(1036);
    OnActions("cmdView");
    OnActions("cmdPurge");
    sys.files[kLog] = 0x12;  // hidden: not the log
    OnActions("cmdView");
    ASSERT_EQ(ui.messageBoxes.size(), 3u);
    EXPECT_EQ(ui.messageBoxes[0].text, "Aucuns éléments dans le fichier de logarithme naturel à visualiser.");
    EXPECT_EQ(ui.messageBoxes[1].text, "Aucuns éléments dans le fichier de logarithme naturel à purger.");
    EXPECT_EQ(ui.messageBoxes[1].flags, ui::kMbInformation);
    EXPECT_EQ(ui.messageBoxes[2].text, ui.messageBoxes[0].text);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(files.removed.empty());
}

TEST_F(AppletActions, PurgeDeletesTheLogOnlyOnYes) {
    sys.files[kLog] = 0x20;
    files.contents[kLog] = "a line\r\n";
    ui.Answer(ui::kIdNo);
    OnActions("cmdPurge");
    EXPECT_TRUE(files.removed.empty());
    ui.Answer(ui::kIdYes);
    OnActions("cmdPurge");
    EXPECT_EQ(files.removed, Names{kLog});
    EXPECT_EQ(files.contents.count(kLog), 0u);
    ASSERT_EQ(ui.messageBoxes.size(), 2u);
    EXPECT_EQ(ui.messageBoxes[0].text, "Are you sure you want to purge the log file?");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbYesNo | ui::kMbQuestion);
}

TEST_F(AppletActions, ViewAndPurgeFindTheLogWhereTheDaemonWritesIt) {
    // Installed: the program's folder refuses this user's writes, so the
    // daemon writes in the user's local application data.
    const std::string local = "C:\\Users\\user\\AppData\\Local\\Halcyra\\events.txt";
    Put("AppPath", "C:\\Program Files\\Halcyra\\");
    files.readOnly.insert("C:\\Program Files\\Halcyra\\");
    sys.shellFolders[platform::ShellFolderId::LocalAppData] = "C:\\Users\\user\\AppData\\Local";
    sys.files[local] = 0x20;
    files.contents[local] = "a line\r\n";
    OnActions("cmdView");
    EXPECT_EQ(processes.started, Names{"\"C:\\WINNT\\system32\\notepad.exe\" \"" + local + "\""});
    ui.Answer(ui::kIdYes);
    OnActions("cmdPurge");
    EXPECT_EQ(files.removed, Names{local});
    EXPECT_EQ(ui.messageBoxes.size(), 1u);  // the question alone
    EXPECT_EQ(Stored("AppPath"), "C:\\Program Files\\Halcyra\\");
}

TEST_F(AppletActions, APurgeThatCannotDeleteSaysWhichFileAndWhy) {
    sys.files[kLog] = 0x20;
    files.contents[kLog] = "a line\r\n";
    files.undeletable.insert(kLog);
    SetWindowsLanguage(1031);
    ui.Answer(ui::kIdYes);
    OnActions("cmdPurge");
    ASSERT_EQ(ui.messageBoxes.size(), 2u);
    EXPECT_EQ(ui.messageBoxes[1].text,
              "Die Protokolldatei konnte nicht gelöscht werden: C:\\Halcyra\\events.txt\r\n\r\nAccess is denied.");
    EXPECT_EQ(ui.messageBoxes[1].flags, ui::kMbCritical);
    EXPECT_EQ(files.contents[kLog], "a line\r\n");
}

// The prompt starts in the folder; the host's current directory never moves.
TEST_F(AppletActions, CommandPromptOpensInTheProgramsFolder) {
    struct Case {
        const char* program;
        Names folders;  // the prompt's current directory, as tried
    };
    const Case cases[] = {
        {"C:\\prog.exe", {"C:\\"}},
        {"D:\\Tools\\Clean\\clean.exe", {"D:\\Tools\\Clean"}},
        {"E:\\Gone\\x.exe", {"E:\\Gone", "E:\\"}},                    // a missing folder leaves the drive
        {"\\\\server\\gone\\x.exe", {"\\\\server\\gone", ""}},  // or, without one, where the applet is
        {"notepad.exe", {""}},                                 // no backslash: where the applet is
        {"\"D:\\My Tools\\clean.exe\" /all \\\\x", {"D:\\My Tools"}},  // quoted: the folder inside the quotes
    };
    processes.missingFolders = {"E:\\Gone", "\\\\server\\gone"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        processes.startedIn.clear();
        Put("Tool", c.program);
        Open([](MemoryForm& f) {
            auto& run = static_cast<ui::memory::MemListView&>(f.GetListView("lsvRun"));
            run.SelectItem(run.AddRow("Tool"));  // a row as the programs page shows it
            static_cast<ui::memory::MemMenu&>(f.GetMenu("mnuCommand")).pick = "selCommandPrompt";
            f.MouseDown("lsvRun", {.button = 2});
            EXPECT_FALSE(f.GetButton("cmdApply").Enabled());
            f.MouseDown("lsvRun", {.button = 1});
            EXPECT_TRUE(f.GetButton("cmdApply").Enabled());
        });
        Names folders;
        for (const auto& [command, folder] : processes.startedIn) {
            EXPECT_EQ(command, "\"C:\\WINNT\\system32\\cmd.exe\"");
            folders.push_back(folder);
        }
        EXPECT_EQ(folders, c.folders);
        EXPECT_TRUE(sys.directoryChanges.empty());
        EXPECT_TRUE(processes.started.empty());
    }
}

// Windows selects a row only after the right button's press: the menu must
// act on the row under the pointer, not on the one selected before.
TEST_F(AppletActions, TheCommandPromptOpensForTheRowRightClicked) {
    Put("RunList", "Other,Tool,");
    Put("Other", "C:\\Other\\o.exe");
    Put("Tool", "D:\\Tools\\t.exe");
    Open([](MemoryForm& f) {
        auto& run = static_cast<ui::memory::MemListView&>(f.GetListView("lsvRun"));
        run.SelectItem(0);
        static_cast<ui::memory::MemMenu&>(f.GetMenu("mnuCommand")).pick = "selCommandPrompt";
        f.MouseDown("lsvRun", {.button = 2, .x = 40, .y = run.kHeader + run.kRowHeight + 2});
        EXPECT_EQ(run.SelectedRow(), 1);
    });
    ASSERT_EQ(processes.startedIn.size(), 1u);
    EXPECT_EQ(processes.startedIn[0].second, "D:\\Tools");
}

TEST(Arrows, WingdingsArrowheadsElseItsArrowsElseTheWords) {
    struct Case {
        std::set<std::string> missing;
        const char* up;
        const char* down;
        const char* font;
    };
    const Case cases[] = {
        {{}, "\xC3\xB1", "\xC3\xB2", "Wingdings"},
        {{"\xC3\xB2"}, "\xC3\xA9", "\xC3\xAA", "Wingdings"},  // Wine's Wingdings
        {{"\xC3\xB1", "\xC3\xAA"}, "Up", "Down", ""},
    };
    for (const Case& c : cases) {
        ui::memory::MemLabel up, down;
        up.caption = "Up";
        down.caption = "Down";
        up.missingGlyphs = down.missingGlyphs = c.missing;
        halcfg::ShowArrows(up, down);
        EXPECT_EQ(up.caption, c.up);
        EXPECT_EQ(down.caption, c.down);
        EXPECT_EQ(up.symbolFont, c.font);
    }
}

class AppletTexts : public AppletFixture {};

TEST_F(AppletTexts, EachLanguageShowsItsOwnTextsAndKeepsTheRest) {
    struct Case {
        std::uint16_t language;
        const char* caption;
        const char* ok;
        const char* apply;
        const char* tab2;
        const char* orderOption;
        const char* runColumn;
        int widths[2];  // of the run list's columns, the list 340 pixels wide
        const char* anyShutdown;
    };
    const Case cases[] = {
        {1033, "Halcyra Settings", "OK", "&Apply", "Settings", "Run programs, then stop services", "Application",
         {170, 85}, "Also run at shutdowns started elsewhere (Start menu, updates, shutdown command)"},
        {3082, "Puestas de Halcyra", "Aceptar", "Applicar", "Settings", "Run programs, then stop services",
         "Applicaciónes", {170, 141},
         "Ejecutar también en los apagados iniciados desde otro lugar (menú Inicio, actualizaciones, comando "
         "shutdown)"},
        {1031, "Halcyra-Einstellungen", "OK", "Zutreffen", "Settings", "Run programs, then stop services",
         "Anwendung", {170, 85},
         "Auch beim anderswo gestarteten Herunterfahren ausführen (Startmenü, Updates, Befehl shutdown)"},
        // Italian shows the French labels and the German caption.
        {1040, "Halcyra-Einstellungen", "OK", "Applicano", "Configurations ",
         "Exécutez les programmes, puis arrêtez les services", "Applicazione", {100, 100},
         "Esegui anche agli arresti avviati altrove (menu Start, aggiornamenti, comando shutdown)"},
        {1036, "Configurations De Halcyra", "OK", "S'appliquent", "Configurations ",
         "Exécutez les programmes, puis arrêtez les services", "Programmes", {100, 100},
         "Exécuter aussi lors des arrêts lancés ailleurs (menu Démarrer, mises à jour, commande shutdown)"},
        {1043, "Halcyra Settings", "OK", "&Apply", "Settings", "Run programs, then stop services", "Application",
         {170, 85}, "Also run at shutdowns started elsewhere (Start menu, updates, shutdown command)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        SetWindowsLanguage(c.language);
        Open();
        EXPECT_EQ(form->Caption(), c.caption);
        EXPECT_EQ(form->GetButton("cmdOK").Caption(), c.ok);
        EXPECT_EQ(form->GetButton("cmdApply").Caption(), c.apply);
        EXPECT_EQ(form->GetTab("SSTab1").TabCaption(2), c.tab2);
        EXPECT_EQ(form->GetOption("optOrder0").Caption(), c.orderOption);
        EXPECT_EQ(form->GetListView("lsvRun").ColumnHeader(0), c.runColumn);
        EXPECT_EQ(form->GetListView("lsvRun").ColumnWidth(0), c.widths[0]);
        EXPECT_EQ(form->GetListView("lsvRun").ColumnWidth(1), c.widths[1]);
        EXPECT_EQ(form->GetCheckBox("chkRunAtAnyShutdown").Caption(), c.anyShutdown);
    }
    // The arrows of both pages are Wingdings' characters 0xF1 and 0xF2.
    for (const char* button : {"cmdUp", "cmdUpServices"}) {
        auto& up = static_cast<ui::memory::MemLabel&>(form->GetButton(button));
        EXPECT_EQ(up.symbolFont, "Wingdings");
        EXPECT_EQ(up.caption, "\xC3\xB1");
    }
    EXPECT_EQ(form->GetButton("cmdDownServices").Caption(), "\xC3\xB2");
    EXPECT_EQ(form->GetButton("cmdWizard").ToolTip(), "Discovers and adds existing utilities on this computer");
    EXPECT_EQ(form->GetLabel("lblPassword").Caption(), "Set the password to prevent changing settings");
    EXPECT_EQ(form->GetMenu("mnuCommand").Caption("selCommandPrompt"), "Open a command prompt");
}

TEST_F(AppletTexts, ItalianExplanationsAreTheFrenchOnes) {
    SetWindowsLanguage(1040);
    Open();
    EXPECT_EQ(form->GetLabel("lblRunExplain").Caption(),
              "Les programmes énumérés sont exécutés par Halcyra dans la commande de haut en bas. Seulement les "
              "programmes contrôlés fonctionneront. Utilisez les flèches du côté droit de la liste de changer la "
              "commande.");
    EXPECT_EQ(form->GetTab("SSTab1").TabCaption(0), "Programmes");
    EXPECT_EQ(form->GetLabel("FrameOperation").Caption(), "Servizi");
}

}  // namespace

namespace {

class AppletPolicy : public AppletFixture {
protected:
    void Machine(const std::string& name, const std::string& value) {
        reg.PlantString(platform::RootKey::LocalMachine, basSettings::kPolicyKey, name, value);
    }
};

// Values a policy sets show with their controls off and the note, and OK
// with every control changed writes only the user's own values.
TEST_F(AppletPolicy, PolicyValuesShowDisabledAndOnlyOwnValuesAreSaved) {
    Machine("ShowIcon", "0");
    Machine("LogEV", "0");
    Machine("StopList", "Spooler,");
    Machine("SelectedStopList", "Spooler,");
    Machine("RunList", "Backup,");
    Machine("SelectedList", "0,");
    Machine("Backup", "backup.exe");
    Put("ShowIcon", "1");
    Put("LogEV", "1");
    Put("UseHalcyra", "0");
    Put("RunList", "Mine,");
    Open([](MemoryForm& f) {
        EXPECT_TRUE(f.GetLabel("lblPolicy").Visible());
        EXPECT_EQ(f.GetLabel("lblPolicy").Caption(), "Set by your administrator");
        EXPECT_EQ(f.GetCheckBox("chkShowIcon").Value(), 0);
        auto& run = f.GetListView("lsvRun");
        ASSERT_EQ(run.RowCount(), 1);
        EXPECT_EQ(run.GetItemText(0, 0), "Backup");
        for (const char* name : {"chkShowIcon", "chkLogEV", "lsvRun", "cmdAdd", "lsvStop"})
            EXPECT_FALSE(Control(f, name).Enabled()) << name;
        EXPECT_TRUE(f.GetCheckBox("chkForceAppsToClose").Enabled());
        // As a user could, had the controls been on.
        f.GetCheckBox("chkShowIcon").SetValue(1);
        f.GetCheckBox("chkLogEV").SetValue(1);
        f.GetCheckBox("chkForceAppsToClose").SetValue(1);
        f.Click("cmdOK");
    });
    EXPECT_EQ(Stored("ShowIcon"), "1");
    EXPECT_EQ(Stored("LogEV"), "1");
    EXPECT_EQ(Stored("UseHalcyra"), "1");
    EXPECT_EQ(Stored("RunList"), "Mine,");
    EXPECT_EQ(Stored("StopList"), "<missing>");
    EXPECT_EQ(Stored("SelectedList"), "<missing>");
}

// Beside a policy's list the user keeps their own rows: the policy's say so,
// keep their checks and place, and refuse edits; the user's stay theirs.
TEST_F(AppletPolicy, PolicyRowsAreMarkedAndKeepTheirPlaceBesideTheUsersOwn) {
    Machine("AllowOwnPrograms", "1");
    Machine("RunList", "Backup,");
    Machine("SelectedList", "0,");
    Machine("Backup", "backup.exe");
    Put("RunList", "Mine,");
    Put("SelectedList", "");
    Put("Mine", "mine.exe");
    Open([this](MemoryForm& f) {
        auto& run = dynamic_cast<ui::memory::MemListView&>(f.GetListView("lsvRun"));
        ASSERT_EQ(run.RowCount(), 2);
        EXPECT_TRUE(run.Enabled());
        EXPECT_EQ(run.GetItemText(0, 2), "Set by your administrator");
        EXPECT_EQ(run.GetItemText(1, 2), "");
        EXPECT_FALSE(run.ClickCheckBox(0));
        EXPECT_TRUE(run.ClickCheckBox(1));
        struct Attempt {
            int row;
            const char* button;
        };
        for (const Attempt& a : {Attempt{0, "cmdRemove"}, Attempt{0, "cmdEdit"}, Attempt{0, "cmdDown"},
                                 Attempt{1, "cmdUp"}}) {
            SCOPED_TRACE(a.button);
            ui.messageBoxes.clear();
            run.SelectItem(a.row);
            f.Click(a.button);
            ASSERT_EQ(ui.messageBoxes.size(), 1u);
            EXPECT_EQ(ui.messageBoxes[0].text, "Set by your administrator");
            EXPECT_EQ(run.GetItemText(0, 0), "Backup");
            EXPECT_EQ(run.GetItemText(1, 0), "Mine");
        }
        f.Click("cmdOK");
    });
    EXPECT_EQ(Stored("RunList"), "Mine,");
    EXPECT_EQ(Stored("SelectedList"), "0,");
}

TEST_F(AppletPolicy, TheLockPolicyKeepsEveryPageLockedEvenWithThePassword) {
    struct Case {
        const char* where;  // the lock's key
        bool locked;
    };
    for (const Case& c : {Case{"machine", true}, Case{"own", false}}) {
        SCOPED_TRACE(c.where);
        if (std::string(c.where) == "machine") Machine("LockSettings", "1");
        else {
            reg.DeleteKey(platform::RootKey::LocalMachine, basSettings::kPolicyKey);
            Put("LockSettings", "1");  // the user's own word locks nothing
        }
        Open([](MemoryForm& f) { f.Click("cmdCancel"); });
        EXPECT_EQ(dlg->Locked(), c.locked);
        EXPECT_EQ(form->GetLabel("lblPolicy").Visible(), c.locked);
        EXPECT_EQ(form->GetCheckBox("chkShowIcon").Enabled(), !c.locked);
    }
    Machine("LockSettings", "1");
    SetPassword("SECRET");
    PromptAnswers("SECRET");
    Open([](MemoryForm& f) { f.Click("cmdCancel"); });
    EXPECT_TRUE(dlg->Locked());
}

}  // namespace
