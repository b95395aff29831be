#pragma once
// The daemon's templates for the native windowing; the program and its
// tests register the same set.
#include "common/commonForms.h"
#include "daemon/basDaemon.h"
#include "daemon/halcyradForms.h"
#include "services/servicesForms.h"
#include "ui/win32/native_ui.h"

namespace daemon_forms {

inline void RegisterAll(ui::win32::NativeUi& nativeUi) {
    nativeUi.RegisterDialogClass(basDaemon::kWindowClass);
    nativeUi.RegisterTemplate("frmMain", frmMainControls, "mnuSystemTray", mnuSystemTrayEntries);
    nativeUi.RegisterTemplate("frmAbout", frmAboutControls);
    nativeUi.RegisterTemplate("frmPasswordToAccess", common_forms::frmPasswordToAccessControls);
    nativeUi.RegisterTemplate("frmError", services_forms::frmErrorControls);
}

}  // namespace daemon_forms
