#pragma once
#include "ui/controls.h"

// The please-wait window shown while a service stops: one label, the
// hourglass, centred on the screen.
class frmError {
public:
    frmError(ui::Ui& ui, ui::Form& form) : form(form), lblMsg(form.GetLabel("lblMsg")), ui_(ui) {}

    // The hourglass, and the window in the middle of the screen.
    void Form_Load();
    // The default pointer again.
    void Form_Unload();

    ui::Form& form;
    ui::Label& lblMsg;

private:
    ui::Ui& ui_;
};
