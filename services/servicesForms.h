#pragma once
#include <vector>

#include "services/servicesRes.h"
#include "ui/bindings.h"

// Control names of the service dialogs, against services.rc.
namespace services_forms {

inline const std::vector<ui::Binding> frmErrorControls = {
    {"lblMsg", IDC_ERROR_LBLMSG},
};

}  // namespace services_forms
