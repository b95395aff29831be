#pragma once
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "applet/AppletState.h"
#include "common/basSettings.h"
#include "common/basText.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace halcfg {

// The settings dialog: four pages (programs, services, options, actions),
// a password gate when it opens, and one batch of writes on Apply or OK.
class frmMain {
public:
    frmMain(ui::Ui& ui, platform::Platform& sys, AppletState& state);
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Opens the dialog and runs it modally until OK or Cancel.
    void Show();
    // Whether the settings are locked behind the password now.
    bool Locked() const { return locked_; }

private:
    void Form_Load();
    void PrepareLists();
    void LoadOptions();
    void LoadRunList();
    void LoadStopList();
    // Marks the services this user may not stop, or that are not installed.
    void MarkStopRights();
    // What each value showed when it was read; Apply writes only what
    // changed since and was readable, and names what it could not write.
    void RecordShown();
    std::vector<std::pair<std::string, std::string>> ShownValues() const;
    std::vector<basSettings::RunRow> RunRows() const;
    std::vector<std::string> StopRows(bool checkedOnly) const;
    void SaveRunList(std::vector<std::string>& notSaved);
    void SaveStopList(std::vector<std::string>& notSaved);
    void PasswordGate();
    void EnterLocked();
    void Unlock();
    void SetCaptions();
    void ApplyListRule(ui::CheckBox& box, ui::ListView& list);

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    void cmdHelp_Click();
    void cmdUnload_Click();
    void cmdPassword_Click();
    void cmdView_Click();
    void cmdPurge_Click();
    void selCommandPrompt_Click();
    void chkRunThisFirst_Click();
    void chkStopServices_Click();
    void lsvRun_MouseDown(const ui::MouseEvent& e);
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdWizard_Click();
    void lsvStop_MouseUp(const ui::MouseEvent& e);
    void lsvStop_KeyUp(int keyCode);
    void cmdUpServices_Click();
    void cmdDownServices_Click();
    bool txtServiceSeconds_KeyPress(int character);
    void CheckDependents(int row);
    // Moves the selected row one place up (-1) or down (+1), with its
    // texts and check; at the end of the list it only selects it again.
    bool MoveSelectedRow(ui::ListView& list, int step);
    void RefitRunColumns();
    std::string DaysOf(const ProgramEntry& entry) const;
    void WriteEntry(const ProgramEntry& entry);
    // One message naming the values that could not be written.
    void ReportNotSaved(const std::vector<std::string>& names);
    void SSTab1_Click();
    void OptionChanged();

    platform::WindowHandle FindDaemon();
    bool LogFileExists(const std::string& path);
    // events.txt where the daemon writes it, by the same rule.
    std::string LogFilePath();
    basSettings::Store Settings() const;
    basText::Language Language() const;
    std::string Text(const char* key) const;

    ui::Ui& ui_;
    platform::Platform& sys_;
    AppletState& state_;
    std::unique_ptr<ui::Form> formPtr_;
    bool locked_ = false;
    struct Shown {
        std::string text;  // what Apply would write for the control's state then
        bool readable = true;
    };
    std::map<std::string, Shown> shown_;
    basSettings::RunListRead runRead_;
    std::vector<basSettings::RunRow> runShown_;
    basSettings::ListRead stopRead_, selectedStopRead_;
    std::vector<std::string> stopShown_, selectedStopShown_;

    ui::Form& form;
    ui::Button& cmdOK;
    ui::Button& cmdCancel;
    ui::Button& cmdApply;
    ui::Button& cmdHelp;
    ui::TabControl& SSTab1;
    ui::Picture& imgMain;
    ui::ListView& lsvRun;
    ui::Button& cmdAdd;
    ui::Button& cmdEdit;
    ui::Button& cmdRemove;
    ui::Button& cmdUp;
    ui::Button& cmdDown;
    ui::Button& cmdWizard;
    ui::CheckBox& chkRunThisFirst;
    ui::Label& lblRunExplain;
    ui::ListView& lsvStop;
    ui::Button& cmdUpServices;
    ui::Button& cmdDownServices;
    ui::CheckBox& chkStopServices;
    ui::Label& lblSeconds;
    ui::TextBox& txtServiceSeconds;
    ui::Label& lblSec;
    ui::Label& lblStopExplain;
    ui::Label& FrameOperation;
    ui::CheckBox& chkShowIcon;
    ui::CheckBox& chkLock;
    ui::CheckBox& chkForceAppsToClose;
    ui::Label& FrameOrder;
    std::array<ui::OptionButton*, 2> optOrder;
    ui::Label& lblUnload;
    ui::Button& cmdUnload;
    ui::Label& lblPassword;
    ui::Button& cmdPassword;
    ui::Label& FrameLogs;
    ui::Button& cmdView;
    ui::Button& cmdPurge;
    ui::CheckBox& chkLogEV;
    ui::Menu& mnuCommand;
    // The controls of each page, shown while its tab is selected.
    std::array<std::vector<ui::Control*>, 4> pages_;
};

}  // namespace halcfg
