#pragma once
#include <string>

#include "ui/controls.h"

namespace common {

// What the user typed in the last password prompt closed with OK.
extern std::string EnteredPassword;

// The daemon's prompt speaks English only; the applet's follows the language.
enum class PasswordPrompt { Daemon, Applet };

class frmPasswordToAccess {
public:
    frmPasswordToAccess(ui::Form& form, PasswordPrompt variant);

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    ui::Form& form;
    ui::Label& lblText;
    ui::TextBox& txtPassword;
    ui::Button& cmdOK;
    ui::Button& cmdCancel;

private:
    PasswordPrompt variant_;
};

// Shows the prompt modally over `owner`. Each prompt starts empty, and
// EnteredPassword is "" unless the user confirmed with OK.
void AskPassword(ui::Ui& ui, ui::Form* owner, PasswordPrompt variant);

}  // namespace common
