#pragma once
#include <functional>
#include <memory>
#include <string>

#include "applet/AppletState.h"
#include "common/basText.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace halcfg {

// Sets, changes or removes the settings password. The new one is stored at
// once, whatever the settings dialog does afterwards.
class frmChangePassword {
public:
    // `onChanged` runs once the new password is stored (the settings dialog
    // unlocks itself there).
    frmChangePassword(ui::Ui& ui, ui::Form* owner, platform::Platform& sys, const AppletState& state,
                      std::function<void()> onChanged);
    ~frmChangePassword();
    frmChangePassword(const frmChangePassword&) = delete;
    frmChangePassword& operator=(const frmChangePassword&) = delete;

    // Runs modally until the password is changed or the user cancels.
    void Show();

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    std::string Text(const char* key) const;

    ui::Ui& ui_;
    platform::Platform& sys_;
    const AppletState& state_;
    std::function<void()> onChanged_;
    std::unique_ptr<ui::Form> formPtr_;
    std::string current_;  // the stored password, as it read when the dialog opened

    ui::Form& form;
    ui::Label& lblOld;
    ui::TextBox& txtOld;
    ui::Label& lblNew;
    ui::TextBox& txtNew;
    ui::Label& lblConfirmNew;
    ui::TextBox& txtConfirmNew;
    ui::Button& cmdOK;
    ui::Button& cmdCancel;
};

}  // namespace halcfg
