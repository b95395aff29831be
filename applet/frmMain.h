#pragma once
#include <array>
#include <memory>
#include <vector>

#include "applet/AppletState.h"
#include "applet/PageContext.h"
#include "applet/pgActions.h"
#include "applet/pgOptions.h"
#include "applet/pgPrograms.h"
#include "applet/pgServices.h"
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
    void PasswordGate();
    void ApplyPolicy();
    void DisableByPolicy();
    void SetLocked(bool locked);
    void SetCaptions();

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    void cmdHelp_Click();
    void SSTab1_Click();

    ui::Ui& ui_;
    platform::Platform& sys_;
    AppletState& state_;
    std::unique_ptr<ui::Form> formPtr_;
    bool locked_ = false;
    bool lockedByPolicy_ = false;  // "LockSettings": no password opens it

    ui::Form& form;
    ui::Button& cmdOK;
    ui::Button& cmdCancel;
    ui::Button& cmdApply;
    ui::Button& cmdHelp;
    ui::TabControl& SSTab1;
    ui::Picture& imgMain;

    PageContext ctx_;
    pgPrograms programs_;
    pgServices services_;
    pgOptions options_;
    pgActions actions_;
    // The controls of each page, shown while its tab is selected.
    std::array<std::vector<ui::Control*>, 4> pages_;
};

}  // namespace halcfg
