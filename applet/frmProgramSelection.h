#pragma once
#include <array>
#include <memory>
#include <string>

#include "applet/AppletState.h"
#include "common/basText.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace halcfg {

// The program entry editor: a modal dialog over the programs page that
// edits the applet's shared entry (AppletState::Entry) and never touches
// the settings itself.
class frmProgramSelection {
public:
    frmProgramSelection(ui::Ui& ui, ui::Form* owner, platform::Platform& sys, AppletState& state);
    ~frmProgramSelection();
    frmProgramSelection(const frmProgramSelection&) = delete;
    frmProgramSelection& operator=(const frmProgramSelection&) = delete;

    // Runs the dialog until OK or Cancel; the shared entry holds the result.
    void Show();

private:
    void Form_Load();
    void txtText_Change();
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    std::string Text(const char* key) const;

    ui::Ui& ui_;
    platform::Platform& sys_;
    AppletState& state_;
    std::unique_ptr<ui::Form> formPtr_;
    std::string openedName_;  // the entry's name when editing, else ""

    ui::Form& form;
    ui::Label& lblDisplayName;
    ui::TextBox& txtDisplayName;
    ui::Label& lblProgram;
    ui::TextBox& txtProgram;
    ui::Button& cmdBrowse;
    ui::Label& FrameDays;
    std::array<ui::CheckBox*, 7> chkDOW;  // index d - 1 is weekday d, 1 Sunday
    ui::Label& FrameHowOften;
    std::array<ui::OptionButton*, 2> optHowOften;
    ui::Button& cmdOK;
    ui::Button& cmdCancel;
};

}  // namespace halcfg
