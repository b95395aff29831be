#pragma once
#include "daemon/halcyradForms.h"
#include "ui/memory/memory_ui.h"

namespace testing_support {

// In-memory windowing that knows the daemon's templates.
struct DaemonUi : ui::memory::MemoryUi {
    DaemonUi() { daemon_forms::RegisterTemplates(*this); }
};

}  // namespace testing_support
