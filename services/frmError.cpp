#include "services/frmError.h"

void frmError::Form_Load() {
    ui_.SetPointer(ui::Pointer::Hourglass);
    form.CenterOnScreen();
}

void frmError::Form_Unload() { ui_.SetPointer(ui::Pointer::Default); }
