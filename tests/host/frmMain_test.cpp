#include "common/basTrayIcon.h"
#include "support/daemon_fixture.h"

using halcyrad::frmMain;
using ui::SysColor;

namespace {

class ShutdownDialogTest : public testing_support::DaemonFixture {};

TEST_F(ShutdownDialogTest, Windows2000EnglishLayoutAfterLoad) {
    sys.userName = "alice";
    auto& m = Load(Win::W2000);
    EXPECT_FALSE(form->IsVisible());
    EXPECT_FALSE(m.optShutdown.Visible());
    EXPECT_FALSE(m.optRestart.Visible());
    EXPECT_FALSE(m.optLogoff.Visible());
    EXPECT_FALSE(m.optMSDOS.Visible());
    EXPECT_TRUE(m.cmbShutdown.Visible());
    EXPECT_EQ(Combo().items, (std::vector<std::string>{"Logoff alice", "Shut down", "Restart"}));
    EXPECT_EQ(m.lblTitle.Caption(), "What do you want the computer to do?");
    EXPECT_EQ(m.cmdOK.Caption(), "OK");
    EXPECT_EQ(m.cmdCancel.Caption(), "Cancel");
    EXPECT_EQ(m.cmdHelp.Caption(), "Help");
    // A fresh user: Log off preselected and described, details collapsed.
    EXPECT_EQ(m.cmbShutdown.ListIndex(), 0);
    EXPECT_EQ(m.lblExplain.Caption(), "Ends your session, leaving the computer running on full power.");
    EXPECT_EQ(m.cmdDetails.Caption(), "&Details >>");
    EXPECT_EQ(form->HeightTwips(), frmMain::kCollapsedTwips);
    EXPECT_EQ(RunList().headers, (std::vector<std::string>{"Programs", "Days Run"}));
    EXPECT_TRUE(RunList().checkBoxes);
    EXPECT_TRUE(RunList().fullRowSelect);
    EXPECT_EQ(m.chkRunThisFirst.Caption(), "Run checked programs before exiting Windows");
    EXPECT_EQ(m.chkStopServices.Caption(), "Stop the following services before Shutdown or Restart");
    EXPECT_EQ(m.SSTab1.TabCaption(0), "Programs");
    EXPECT_EQ(m.SSTab1.TabCaption(1), "Services");
    EXPECT_EQ(m.mnuSystemTray.Caption("selExit"), "Unload");
    EXPECT_EQ(StopList().items, std::vector<std::string>{"No services are set to stop."});
    // Its first load writes nothing: no list changed.
    EXPECT_EQ(Stored("RunList"), "<missing>");
    EXPECT_EQ(Stored("SelectedList"), "<missing>");
    EXPECT_EQ(Stored("ShutdownType"), "<missing>");
    // Centred for the expanded height.
    EXPECT_EQ(form->top, (ui.screenHeight - frmMain::kExpandedTwips) / 2);
}

TEST_F(ShutdownDialogTest, ComboDescribesEachChoiceAndKeysPickItsItems) {
    auto& m = Load(Win::W2000);
    form->SelectItem("cmbShutdown", 1);
    EXPECT_EQ(m.lblExplain.Caption(), "Ends your session and shuts down Windows so that you can safely turn off power.");
    form->SelectItem("cmbShutdown", 2);
    EXPECT_EQ(m.lblExplain.Caption(), "Ends your session, shuts down Windows, and starts Windows again.");
    // Keys choose the combo's items on this layout, never the hidden buttons.
    EXPECT_TRUE(form->KeyDown('S'));
    EXPECT_EQ(m.cmbShutdown.ListIndex(), 1);
    EXPECT_EQ(m.SelectedAction(), frmMain::Action::Shutdown);
    EXPECT_TRUE(form->KeyDown('C'));
    EXPECT_EQ(m.cmbShutdown.ListIndex(), 0);
    EXPECT_TRUE(form->KeyDown('R'));
    EXPECT_EQ(m.SelectedAction(), frmMain::Action::Restart);
    EXPECT_EQ(m.lblExplain.Caption(), "Ends your session, shuts down Windows, and starts Windows again.");
    EXPECT_FALSE(form->KeyDown('M'));
}

TEST_F(ShutdownDialogTest, HiddenOptionButtonsNeverDecideOnWindows2000) {
    auto& m = Load(Win::W2000);
    m.optShutdown.SetValue(true);
    form->SelectItem("cmbShutdown", 0);
    form->Click("cmdCancel");
    EXPECT_EQ(Stored("ShutdownType"), "Logoff");
}

TEST_F(ShutdownDialogTest, Nt4AndWindows95Layouts) {
    auto& m = Load(Win::NT4);
    EXPECT_FALSE(m.cmbShutdown.Visible());
    EXPECT_FALSE(m.lblExplain.Visible());
    EXPECT_FALSE(m.optMSDOS.Visible());
    EXPECT_EQ(m.optLogoff.Caption(), "&Close all programs and log on as a different user?");
    EXPECT_EQ(m.cmdOK.Caption(), "&Yes");
    EXPECT_TRUE(m.optLogoff.Value());
    EXPECT_TRUE(m.chkStopServices.Enabled());

    TearDown();
    Put("StopServices", "1");
    auto& w95 = Load(Win::W95);
    EXPECT_TRUE(w95.optMSDOS.Visible());
    EXPECT_EQ(w95.optMSDOS.Caption(), "Restart the computer in &MS-DOS mode?");
    EXPECT_EQ(w95.chkStopServices.Value(), 0);
    EXPECT_FALSE(w95.chkStopServices.Enabled());
    EXPECT_EQ(StopList().color, SysColor::ButtonFace);
    EXPECT_TRUE(StopList().items.empty());
}

TEST_F(ShutdownDialogTest, DanishWindows98ShowsEnglishWording) {
    SetWindowsLanguage(1030);
    auto& m = Load(Win::W98);
    EXPECT_EQ(m.lblTitle.Caption(), "What do you want the computer to do?");
    EXPECT_EQ(m.optShutdown.Caption(), "&Shut down");
    EXPECT_EQ(m.cmdHelp.Caption(), "Help");
    EXPECT_EQ(m.chkRunThisFirst.Caption(), "Run checked programs before exiting Windows");
}

TEST_F(ShutdownDialogTest, GermanWindows2000) {
    SetWindowsLanguage(1031);
    auto& m = Load(Win::W2000);
    for (int i = 0; i < 3; ++i) {
        form->SelectItem("cmbShutdown", i);
        EXPECT_EQ(m.lblExplain.Caption(), "");
    }
    EXPECT_EQ(RunList().headers, (std::vector<std::string>{"Programme", "Tage Laufen"}));
    EXPECT_EQ(m.cmdDetails.Caption(), "Details >>");
    EXPECT_EQ(m.chkStopServices.Caption(),
              "Stoppen Sie die folgenden Dienstleistungen vor Abschaltung oder beginnen Sie wieder");
    EXPECT_EQ(m.mnuSystemTray.Caption("selShutdown"), "Schließen Windows");
    EXPECT_EQ(m.SSTab1.TabCaption(1), "Dienstleistungen");
    // Keys act only on an English system.
    form->SelectItem("cmbShutdown", 0);
    EXPECT_FALSE(form->KeyDown('S'));
    EXPECT_EQ(m.cmbShutdown.ListIndex(), 0);
}

TEST_F(ShutdownDialogTest, CountrySwitchPicksTheLanguage) {
    auto& m = Load(Win::NT4, "halcyrad.exe /country=3082");
    EXPECT_EQ(state.CountryCode, 3082);
    EXPECT_EQ(m.lblTitle.Caption(), "¿Está seguro de desea:");
    EXPECT_EQ(m.cmdDetails.Caption(), "Detalles >>");
    EXPECT_EQ(m.mnuSystemTray.Caption("selExit"), "Salen");
    EXPECT_EQ(RunList().headers[1], "Ejecutar los dias");
    EXPECT_TRUE(ui.messageBoxes.empty());

    TearDown();
    auto& kept = Load(Win::NT4, "halcyrad.exe /country=1031 /develop");
    EXPECT_EQ(state.CountryCode, 1033);
    EXPECT_EQ(kept.lblTitle.Caption(), "Are you sure you want to:");
    // The detected platform, the language code, and the platform again.
    ASSERT_EQ(ui.messageBoxes.size(), 3u);
    EXPECT_EQ(ui.messageBoxes[0].text,
              "WinPlatform (Win95/98=1; NT=2): 2\r\nWINVER (WIN95=1; WIN98=3; WINNT4=4; WINNT5=5):  4");
    EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
    EXPECT_EQ(ui.messageBoxes[1].text, "The Country Code is 1033");
    EXPECT_EQ(ui.messageBoxes[2].title, "#2");
}

TEST_F(ShutdownDialogTest, FrenchAndItalianOwnCaptions) {
    SetWindowsLanguage(1036);
    auto& fr = Load(Win::W2000);
    EXPECT_EQ(fr.cmdDetails.Caption(), "Détails >>");
    EXPECT_EQ(fr.mnuSystemTray.Caption("selAbout"), "Au sujet de ");
    EXPECT_EQ(RunList().headers[1], "Les Jours Exécutent");
    TearDown();
    SetWindowsLanguage(1040);
    auto& it = Load(Win::W2000);
    EXPECT_EQ(it.chkRunThisFirst.Caption(), "Fare funzionare prima questi arresto");
    EXPECT_EQ(it.mnuSystemTray.Caption("selOptions"), "Opzioni ");
}

TEST_F(ShutdownDialogTest, RunListRowsDaysAndChecks) {
    Put("RunList", "Defragment,Backup,Scan,");
    Put("SelectedList", "0,2,");
    Put("dowBackup", "246");
    Put("roBackup", "True");
    Put("dowScan", "17");
    Load(Win::W2000);
    auto& lv = RunList();
    ASSERT_EQ(lv.RowCount(), 3);
    EXPECT_EQ(lv.GetItemText(0, 1), "SMTWHFS");
    EXPECT_EQ(lv.GetItemText(1, 1), "MWF(1)");
    EXPECT_EQ(lv.GetItemText(2, 1), "SS");
    EXPECT_TRUE(lv.IsItemChecked(0));
    EXPECT_FALSE(lv.IsItemChecked(1));
    EXPECT_TRUE(lv.IsItemChecked(2));
    EXPECT_EQ(lv.autoSize, ui::memory::MemListView::AutoSize::ContentsAndHeaders);
    EXPECT_EQ(Stored("SelectedList"), "0,2,");
}

TEST_F(ShutdownDialogTest, CancelSavesTheDialogState) {
    Put("RunList", "A,B,");
    auto& m = Load(Win::NT4);
    form->ShowModeless();
    RunList().CheckItem(1);
    form->Click("optRestart");
    form->Click("cmdDetails");
    m.SSTab1.SelectTab(1);
    form->Click("SSTab1");
    form->Click("chkStopServices");
    form->Click("cmdCancel");
    EXPECT_FALSE(form->IsVisible());
    EXPECT_EQ(Stored("SelectedList"), "1,");
    EXPECT_EQ(Stored("ShutdownType"), "Restart");
    EXPECT_EQ(Stored("ShowDetails"), "<<");
    EXPECT_EQ(Stored("StopServices"), "1");
    EXPECT_EQ(Stored("RunPrograms"), "1");
    m.LoadDialogSettings();
    EXPECT_TRUE(RunList().IsItemChecked(1));
}

TEST_F(ShutdownDialogTest, MsDosChoiceIsSavedAsLogoff) {
    Load(Win::W95);
    form->Click("optMSDOS");
    form->Click("cmdCancel");
    EXPECT_EQ(Stored("ShutdownType"), "Logoff");
}

TEST_F(ShutdownDialogTest, StoredChoiceAndDetailsAreApplied) {
    Put("ShutdownType", "Restart");
    Put("ShowDetails", "<<");
    auto& m = Load(Win::W2000);
    EXPECT_EQ(m.cmbShutdown.ListIndex(), 2);
    EXPECT_EQ(m.cmdDetails.Caption(), "<< &Details");
    EXPECT_EQ(form->HeightTwips(), frmMain::kExpandedTwips);
    form->Click("cmdDetails");
    EXPECT_EQ(form->HeightTwips(), frmMain::kCollapsedTwips);

    TearDown();
    Put("ShutdownType", "shutdown");  // the names are exact
    auto& nt4 = Load(Win::NT4);
    EXPECT_TRUE(nt4.optLogoff.Value());
}

TEST_F(ShutdownDialogTest, LockedByUserSettingOrSwitch) {
    auto& m = Load(Win::NT4, "halcyrad.exe /lock");
    EXPECT_FALSE(m.chkRunThisFirst.Enabled());
    EXPECT_FALSE(m.chkStopServices.Enabled());
    EXPECT_FALSE(RunList().Enabled());
    EXPECT_EQ(RunList().color, SysColor::ButtonFace);
    int before = m.chkRunThisFirst.Value();
    EXPECT_FALSE(form->KeyDown('F'));
    EXPECT_EQ(m.chkRunThisFirst.Value(), before);

    TearDown();
    Put("UserCanModifyApps", "0");
    auto& m2 = Load(Win::W2000);
    EXPECT_FALSE(m2.chkRunThisFirst.Enabled());
    EXPECT_FALSE(RunList().Enabled());
}

TEST_F(ShutdownDialogTest, CheckBoxesEnableTheirLists) {
    Put("SelectedStopList", "Spooler,Messenger,");
    Put("StopServices", "1");
    auto& m = Load(Win::W2000);
    EXPECT_EQ(StopList().items, (std::vector<std::string>{"Spooler", "Messenger"}));
    EXPECT_TRUE(StopList().Enabled());
    EXPECT_EQ(StopList().color, SysColor::Window);
    m.SSTab1.SelectTab(1);
    form->Click("SSTab1");
    form->Click("chkStopServices");
    EXPECT_FALSE(StopList().Enabled());
    EXPECT_EQ(StopList().color, SysColor::ButtonFace);
    m.SSTab1.SelectTab(0);
    form->Click("SSTab1");
    form->Click("chkRunThisFirst");
    EXPECT_EQ(m.chkRunThisFirst.Value(), 0);
    EXPECT_FALSE(RunList().Enabled());
    EXPECT_TRUE(form->KeyDown('F'));
    EXPECT_TRUE(RunList().Enabled());
    EXPECT_EQ(RunList().color, SysColor::Window);
}

// What a policy decides shows and stays: its boxes off for input while
// their lists follow them, its rows' checks fixed, the user's rows theirs.
TEST_F(ShutdownDialogTest, PolicyChoicesShowButTakeNoInput) {
    auto machine = [this](const char* name, const char* value) {
        reg.PlantString(platform::RootKey::LocalMachine, basSettings::kPolicyKey, name, value);
    };
    machine("RunPrograms", "1");
    machine("StopServices", "0");
    machine("AllowOwnPrograms", "1");
    machine("RunList", "Backup,");
    machine("SelectedList", "0,");
    machine("Backup", "backup.exe");
    Put("RunPrograms", "0");
    Put("StopServices", "1");
    Put("SelectedStopList", "Spooler,");
    Put("RunList", "Mine,");
    Put("Mine", "mine.exe");
    auto& m = Load(Win::W2000);
    EXPECT_EQ(m.chkRunThisFirst.Value(), 1);
    EXPECT_FALSE(m.chkRunThisFirst.Enabled());
    EXPECT_FALSE(form->KeyDown('F'));
    EXPECT_TRUE(RunList().Enabled());
    EXPECT_EQ(m.chkStopServices.Value(), 0);
    EXPECT_FALSE(m.chkStopServices.Enabled());
    EXPECT_FALSE(StopList().Enabled());
    ASSERT_EQ(RunList().RowCount(), 2);
    EXPECT_FALSE(RunList().ClickCheckBox(0));
    EXPECT_TRUE(RunList().IsItemChecked(0));
    EXPECT_TRUE(RunList().ClickCheckBox(1));
}

TEST_F(ShutdownDialogTest, TabsShowTheirOwnControls) {
    auto& m = Load(Win::W2000);
    EXPECT_TRUE(RunList().Visible());
    EXPECT_FALSE(StopList().Visible());
    m.SSTab1.SelectTab(1);
    form->Click("SSTab1");
    EXPECT_FALSE(RunList().Visible());
    EXPECT_TRUE(StopList().Visible());
    EXPECT_TRUE(m.chkStopServices.Visible());
}

TEST_F(ShutdownDialogTest, ShiftRestartOnlyWithShiftAloneOnWindows9x) {
    auto& m = Load(Win::W98);
    form->MouseDown("cmdOK", {1, ui::kShiftMask, 5, 5});
    EXPECT_TRUE(m.ShiftRestart);
    form->MouseDown("cmdOK", {1, ui::kShiftMask | ui::kCtrlMask, 5, 5});
    EXPECT_FALSE(m.ShiftRestart);
    TearDown();
    auto& nt = Load(Win::NT4);
    form->MouseDown("cmdOK", {1, ui::kShiftMask, 5, 5});
    EXPECT_FALSE(nt.ShiftRestart);
}

TEST_F(ShutdownDialogTest, KeysOnOptionLayoutsAndMsDosOnlyWhereShown) {
    auto& m = Load(Win::NT4);
    EXPECT_TRUE(form->KeyDown('S'));
    EXPECT_TRUE(m.optShutdown.Value());
    EXPECT_FALSE(m.optLogoff.Value());
    EXPECT_FALSE(form->KeyDown('M'));  // no MS-DOS choice on NT
    EXPECT_TRUE(m.optShutdown.Value());
    EXPECT_FALSE(m.optMSDOS.Value());
    TearDown();
    auto& w95 = Load(Win::W95);
    EXPECT_TRUE(form->KeyDown('M'));
    EXPECT_TRUE(w95.optMSDOS.Value());
    EXPECT_EQ(w95.SelectedAction(), frmMain::Action::MsDos);
    form->ShowModeless();
    EXPECT_TRUE(form->KeyDown('Y'));
    EXPECT_FALSE(form->IsVisible());
}

TEST_F(ShutdownDialogTest, HelpHidesAndOpensTheHelpPage) {
    auto dimmer = windows.Add("FakeO", "");
    Load(Win::W2000);
    state.HelpFile = "C:\\Program Files\\Halcyra\\halcyra.html";
    form->ShowModeless();
    form->Click("cmdHelp");
    EXPECT_FALSE(form->IsVisible());
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "file:///C:/Program%20Files/Halcyra/halcyra.html#context-1");
    EXPECT_FALSE(windows.closePosted.empty());  // the dimmer goes too
    EXPECT_EQ(windows.closePosted.back(), dimmer);
}

TEST_F(ShutdownDialogTest, TrayIconFollowsTheShowIconSetting) {
    Load(Win::W2000);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].message, platform::TrayMessage::Add);
    EXPECT_EQ(shell.calls[0].data.tip, "Halcyra");
    EXPECT_EQ(shell.calls[0].data.callbackMessage, 512u);
    EXPECT_EQ(shell.calls[0].data.id, 1u);
    main->Form_Unload();
    EXPECT_EQ(shell.calls.back().message, platform::TrayMessage::Delete);
    TearDown();
    shell.calls.clear();
    Put("ShowIcon", "0");
    Load(Win::W2000);
    EXPECT_TRUE(shell.calls.empty());
}

// At log-on the taskbar may still be starting and refuse the icon: it is
// tried again every second, with the record the applet relies on.
TEST_F(ShutdownDialogTest, AnIconTheStartingTaskbarRefusesIsAddedAgain) {
    shell.refuseAdds = 3;
    Load(Win::W2000);
    ASSERT_EQ(form->timers.count(frmMain::kIconTimer), 1u);
    EXPECT_EQ(form->timers[frmMain::kIconTimer].milliseconds, 1000u);
    form->Tick(frmMain::kIconTimer);
    form->Tick(frmMain::kIconTimer);
    EXPECT_TRUE(shell.icons.empty());
    form->Tick(frmMain::kIconTimer);
    EXPECT_EQ(form->timers.count(frmMain::kIconTimer), 0u);
    ASSERT_EQ(shell.icons.size(), 1u);
    const auto& add = shell.calls.back();
    EXPECT_EQ(add.message, platform::TrayMessage::Add);
    EXPECT_EQ(add.data.owner, form->Handle());
    EXPECT_EQ(add.data.id, 1u);
    EXPECT_EQ(add.data.flags, 7u);
    EXPECT_EQ(add.data.callbackMessage, 512u);
    EXPECT_TRUE(files.contents.empty());
}

TEST_F(ShutdownDialogTest, AnIconNeverTakenIsLoggedAndANewTaskbarStartsOver) {
    state.AppPath = state.LogFolder = "C:\\Halcyra\\";
    Put("LogEV", "1");
    shell.refuseAdds = 1000;
    Load(Win::W2000);
    for (int i = 1; i < frmMain::kIconRetries; ++i) form->Tick(frmMain::kIconTimer);
    EXPECT_TRUE(files.contents.empty());
    form->Tick(frmMain::kIconTimer);  // two minutes on
    EXPECT_EQ(form->timers.count(frmMain::kIconTimer), 0u);
    const std::string& log = files.contents["C:\\Halcyra\\events.txt"];
    EXPECT_NE(log.find("  The taskbar did not take the tray icon in 120 seconds; it is added again when the "
                       "taskbar restarts.\r\n"),
              std::string::npos)
        << log;
    ASSERT_EQ(eventLog.entries.size(), 1u);
    const platform::EventRecord& r = eventLog.entries[0].record;
    EXPECT_EQ(r.id, 274u);
    EXPECT_EQ(r.insertions.size(), 2u);
    EXPECT_EQ(r.insertions.front(), "120");
    EXPECT_NE(log.find(r.insertions.back() + "\r\n"), std::string::npos) << r.insertions.back();
    shell.refuseAdds = 0;
    form->ShellRestarts();
    EXPECT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(form->timers.count(frmMain::kIconTimer), 0u);
}

TEST_F(ShutdownDialogTest, IconRetriesEndWhenTheIconIsThereOrTurnedOff) {
    // An add the busy taskbar timed out on, which still put the icon there.
    shell.icons.insert({ui.NextFormHandle(), 1u});
    shell.refuseAdds = 1;
    Load(Win::W2000);
    EXPECT_EQ(form->timers.count(frmMain::kIconTimer), 0u);
    EXPECT_EQ(shell.calls.back().message, platform::TrayMessage::Modify);
    // Turned off in the applet while the taskbar still refuses it.
    shell.icons.clear();
    shell.refuseAdds = 1000;
    form->ShellRestarts();
    ASSERT_EQ(form->timers.count(frmMain::kIconTimer), 1u);
    Put("ShowIcon", "0");
    auto calls = shell.calls.size();
    form->Tick(frmMain::kIconTimer);
    EXPECT_EQ(form->timers.count(frmMain::kIconTimer), 0u);
    EXPECT_EQ(shell.calls.size(), calls);
}

}  // namespace

namespace {

TEST_F(ShutdownDialogTest, ReloadKeepsUnchangedRowsButFollowsEveryChange) {
    Put("RunList", "A,B,");
    Put("SelectedList", "0,");
    auto& m = Load(Win::W2000);
    RunList().autoSize = ui::memory::MemListView::AutoSize::None;
    RunList().CheckItem(1);  // a change the user did not save
    m.LoadDialogSettings();
    EXPECT_TRUE(RunList().IsItemChecked(0));
    EXPECT_FALSE(RunList().IsItemChecked(1));
    EXPECT_EQ(RunList().autoSize, ui::memory::MemListView::AutoSize::None);  // rows kept, not measured again
    Put("dowB", "2");
    m.LoadDialogSettings();
    EXPECT_EQ(RunList().GetItemText(1, 1), "M");
    EXPECT_EQ(RunList().autoSize, ui::memory::MemListView::AutoSize::ContentsAndHeaders);
    Put("RunList", "A,");
    m.LoadDialogSettings();
    EXPECT_EQ(RunList().RowCount(), 1);
    Put("SelectedStopList", "Spooler,");
    m.LoadDialogSettings();
    EXPECT_EQ(StopList().items, std::vector<std::string>{"Spooler"});
    Put("SelectedStopList", "");
    m.LoadDialogSettings();
    EXPECT_EQ(StopList().items, std::vector<std::string>{"No services are set to stop."});
}

// Showing the dialog again restores what is stored, but reads the registry
// only when the settings key has changed since the last showing.
TEST_F(ShutdownDialogTest, ReloadReadsTheRegistryOnlyAfterAChange) {
    Put("RunList", "A,B,");
    Put("SelectedList", "0,");
    Put("SelectedStopList", "Spooler,");
    auto& m = Load(Win::W2000);
    auto& run = static_cast<ui::memory::MemCheckBox&>(form->GetCheckBox("chkRunThisFirst"));
    m.LoadDialogSettings();  // the first showing after start-up
    int reads = reg.Queries();

    // Choices the user changed and did not save go back to the stored ones.
    run.SetValue(0);
    RunList().UncheckItem(0);
    RunList().CheckItem(1);
    m.LoadDialogSettings();
    EXPECT_EQ(reg.Queries(), reads);
    EXPECT_EQ(run.Value(), 1);
    EXPECT_TRUE(RunList().IsItemChecked(0));
    EXPECT_FALSE(RunList().IsItemChecked(1));
    EXPECT_TRUE(RunList().Enabled());

    // Another program changes the settings: read again.
    Put("RunPrograms", "0");
    Put("UserCanModifyApps", "0");
    m.LoadDialogSettings();
    EXPECT_GT(reg.Queries(), reads);
    EXPECT_EQ(run.Value(), 0);
    EXPECT_FALSE(run.Enabled());

    // So does an administrator setting or lifting a policy meanwhile.
    Put("UserCanModifyApps", "1");
    m.LoadDialogSettings();
    for (platform::RootKey root : {platform::RootKey::LocalMachine, platform::RootKey::CurrentUser}) {
        reg.PlantString(root, basSettings::kPolicyKey, "RunPrograms", "1");
        m.LoadDialogSettings();
        EXPECT_EQ(run.Value(), 1);
        EXPECT_FALSE(run.Enabled());
        reg.DeleteKey(root, "Software\\Policies\\Halcyra");
        m.LoadDialogSettings();
        EXPECT_EQ(run.Value(), 0);
        EXPECT_TRUE(run.Enabled());
    }
    reads = reg.Queries();
    m.LoadDialogSettings();
    EXPECT_EQ(reg.Queries(), reads);

    // The key removed: every value is its default again.
    reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
    m.LoadDialogSettings();
    EXPECT_EQ(run.Value(), 1);
    EXPECT_TRUE(run.Enabled());
    EXPECT_EQ(RunList().RowCount(), 0);
    EXPECT_EQ(StopList().items, std::vector<std::string>{"No services are set to stop."});
}

}  // namespace

TEST_F(ShutdownDialogTest, RunListNamesOfAnyLengthSurviveTheWriteBack) {
    const std::string name(300, 'n');
    Put("RunList", name + ",Backup,");
    Put("SelectedList", "0,");
    Load(Win::NT4);
    EXPECT_EQ(Stored("RunList"), name + ",Backup,");
    form->Click("cmdCancel");
    EXPECT_EQ(Stored("RunList"), name + ",Backup,");
    EXPECT_EQ(Stored("SelectedList"), "0,");
}

// A list written by hand keeps its last element; an entry the applet adds
// while the dialog is open survives the dialog's Cancel, with its check.
TEST_F(ShutdownDialogTest, TheDialogKeepsWhatOthersStored) {
    Put("RunList", "A,B");
    Put("SelectedList", "1");
    Load(Win::NT4);
    EXPECT_EQ(Stored("RunList"), "A,B");
    EXPECT_EQ(Stored("SelectedList"), "1");
    main->Tray_MouseMessage(static_cast<int>(basTrayIcon::kMouseDoubleClick));
    ASSERT_TRUE(form->visible);
    RunList().CheckItem(0);
    Put("RunList", "A,B,C,");
    Put("SelectedList", "1,2,");
    form->Click("cmdCancel");
    EXPECT_EQ(Stored("RunList"), "A,B,C,");
    EXPECT_EQ(Stored("SelectedList"), "0,1,2,");
}

TEST_F(ShutdownDialogTest, AListThatCannotBeReadIsNeverWrittenBack) {
    struct Case { const char* what; bool multiString; int failure; bool once; };
    for (Case c : {Case{"another type", true, 0, false}, Case{"a transient failure", false, 1450, false},
                   Case{"a failure that passes before the check", false, 1450, true}}) {
        SCOPED_TRACE(c.what);
        if (c.multiString)
            reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "RunList",
                      {platform::kRegMultiSz, std::string("Backup\0\0", 8)});
        else
            Put("RunList", "Backup,");
        Put("SelectedList", "0,");
        int failures = 1;
        if (c.once)
            reg.InjectFaults([&](platform::fake::FakeRegistry::Call call, const std::string&, const std::string& name) {
                return call == platform::fake::FakeRegistry::Call::Query && name == "RunList" && failures-- > 0
                           ? c.failure : 0;
            });
        else
            reg.FailReads("RunList", c.failure), reg.FailReads("SelectedList", c.failure);
        Load(Win::NT4);
        form->Click("cmdCancel");
        reg.InjectFaults(nullptr);
        reg.FailReads("RunList", 0);
        reg.FailReads("SelectedList", 0);
        auto stored = reg.Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "RunList");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, c.multiString ? platform::kRegMultiSz : platform::kRegSz);
        EXPECT_NE(stored->data, "");
        EXPECT_EQ(Stored("SelectedList"), "0,");
    }
}

TEST_F(ShutdownDialogTest, ChoicesThatCannotBeReadAreNotSavedFromTheirDefaults) {
    struct Case { const char* name; const char* stored; bool foreignType; };
    for (Case c : {Case{"RunPrograms", "0", false}, Case{"StopServices", "1", true}, Case{"ShowDetails", "<<", false},
                   Case{"ShutdownType", "Restart", true}}) {
        SCOPED_TRACE(c.name);
        reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
        std::uint32_t type = c.foreignType ? platform::kRegExpandSz : platform::kRegSz;
        reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, c.name, {type, c.stored});
        if (!c.foreignType) reg.FailReads(c.name, 1450);
        Load(Win::NT4);
        main->selShutdown_Click();
        reg.FailReads(c.name, 0);  // passed, but the dialog shows the default
        form->Click("cmdCancel");
        auto stored = reg.Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, c.name);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, type);
        EXPECT_EQ(stored->data, c.stored);
    }
}

TEST_F(ShutdownDialogTest, AFirstUseMarkThatCannotBeReadIsNoFirstUse) {
    Put("RanQuickStart", "True");
    reg.FailReads("RanQuickStart", 1450);
    Load(Win::NT4);
    reg.FailReads("RanQuickStart", 0);
    reg.Plant(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "RanQuickStart",
              {platform::kRegDword, std::string("\1\0\0\0", 4)});
    Load(Win::NT4);
    EXPECT_TRUE(ui.modalShown.empty());
}

TEST_F(ShutdownDialogTest, FirstUseRunsTheWizardBeforeTheListIsStoredAndOnlyOnce) {
    firstUse = true;
    Put("RunList", "Mine,");
    Put("SelectedList", "0,");
    ui.OnModal("frmWizardEmail", [](ui::memory::MemoryForm& f) {
        for (int i = 0; i < 6 && !f.closed; ++i) f.Click("cmdNext");
    });
    Load(Win::NT4);
    ASSERT_EQ(ui.modalShown, std::vector<std::string>{"frmWizardEmail"});
    // The wizard's rows follow the user's and are stored with them, ticked.
    EXPECT_EQ(Stored("RanQuickStart"), "True");
    EXPECT_EQ(Stored("RunList").rfind("Mine,Delete temporary files,", 0), 0u) << Stored("RunList");
    EXPECT_EQ(RunList().rows.size(), basSettings::ParseCommaList(Stored("RunList")).size());
    EXPECT_TRUE(RunList().rows.back().stateImage == 2);
    EXPECT_FALSE(form->IsVisible());

    Load(Win::NT4);
    EXPECT_EQ(ui.modalShown.size(), 1u);

    // Cancel leaves nothing, so the next start offers it again.
    reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
    ui.OnModal("frmWizardEmail", [](ui::memory::MemoryForm& f) { f.Click("cmdCancel"); });
    Load(Win::NT4);
    EXPECT_EQ(Stored("RanQuickStart"), "<missing>");
    Load(Win::NT4);
    EXPECT_EQ(ui.modalShown.size(), 3u);
}

TEST_F(ShutdownDialogTest, ValuesTheSequenceUsesAreReadAtLoad) {
    struct Case { const char *useHalcyra, *logEv, *seconds; int force, logEvents, wait; };
    for (Case c : {Case{nullptr, nullptr, nullptr, 0, 1, 20}, Case{"1", "0", "45", 1, 0, 45},
                   Case{"yes", "2x", "99999999999", 0, 1, 20}}) {
        reg.DeleteKey(platform::RootKey::CurrentUser, basSettings::kSettingsKey);
        if (c.useHalcyra) Put("UseHalcyra", c.useHalcyra), Put("LogEV", c.logEv), Put("SecondsToWaitForService", c.seconds);
        Load(Win::NT4);
        EXPECT_EQ(state.ForceClose, c.force) << c.force;
        EXPECT_EQ(state.LogEvents, c.logEvents) << c.force;
        EXPECT_EQ(state.ServiceWaitSeconds, c.wait) << c.force;
    }
}

TEST_F(ShutdownDialogTest, TheOKeyIsOk) {
    Load(Win::NT4);
    main->optRestart.SetValue(true);
    form->ShowModeless();
    EXPECT_TRUE(form->KeyDown('O'));
    EXPECT_FALSE(form->IsVisible());
    EXPECT_EQ(Stored("ShutdownType"), "Restart");
}
