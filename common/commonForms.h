#pragma once
#include <vector>

#include "common/commonRes.h"
#include "ui/bindings.h"

// Control names of the dialogs both programs carry, against common.rc.
namespace common_forms {

inline const std::vector<ui::Binding> frmPasswordToAccessControls = {
    {"lblText", IDC_PWD_LBLTEXT},
    {"txtPassword", IDC_PWD_TXTPASSWORD},
    {"cmdOK", IDC_PWD_CMDOK},
    {"cmdCancel", IDC_PWD_CMDCANCEL},
};

}  // namespace common_forms
