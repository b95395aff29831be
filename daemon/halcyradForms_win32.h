#pragma once
// The daemon's templates for the native windowing; the program and its
// tests register the same set.
#include "daemon/basDaemon.h"
#include "daemon/halcyradForms.h"
#include "ui/win32/native_ui.h"

namespace daemon_forms {

inline void RegisterAll(ui::win32::NativeUi& nativeUi) {
    nativeUi.RegisterDialogClass(basDaemon::kWindowClass);
    RegisterTemplates(nativeUi);
}

}  // namespace daemon_forms
