#pragma once
#include <string>

#include "common/basText.h"
#include "ui/controls.h"

namespace common {

// The daemon's prompt speaks English only; the applet's follows the language.
enum class PasswordPrompt { Daemon, Applet };

class frmPasswordToAccess {
public:
    frmPasswordToAccess(ui::Form& form, PasswordPrompt variant, basText::Language language);
    // What the user typed, when the prompt closed with OK.
    const std::string& Entered() const { return entered_; }

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
    basText::Language language_;
    std::string entered_;
};

// Shows the prompt modally over `owner` and returns what was entered: ""
// unless the user confirmed with OK. Each prompt starts empty.
std::string AskPassword(ui::Ui& ui, ui::Form* owner, PasswordPrompt variant, basText::Language language);

}  // namespace common
