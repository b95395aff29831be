#pragma once
#include <memory>

#include "common/basSettings.h"
#include "daemon/DaemonState.h"
#include "daemon/frmMain.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_registry.h"
#include "tests/host/support/daemon_ui.h"
#include "ui/memory/memory_ui.h"

namespace fuzz {

// The daemon on an English Windows 2000 of fakes with in-memory controls, as
// the host tests build it, over a registry the target fills.
struct DaemonHarness : platform::fake::FakeParts {
    explicit DaemonHarness(platform::fake::FakeRegistry& registry) : reg(registry) {}

    // The main window's load as the daemon starts it.
    halcyrad::frmMain& Load(const std::string& commandLine) {
        state.CommandLine = commandLine;
        formPtr = ui.CreateForm("frmMain", nullptr);
        form = static_cast<ui::memory::MemoryForm*>(formPtr.get());
        main = std::make_unique<halcyrad::frmMain>(ui, *form, plat, state);
        main->Form_Load();
        return *main;
    }

    platform::fake::FakeRegistry& reg;
    platform::fake::FakeSystem sys;
    platform::Platform plat = With(reg, sys);
    testing_support::DaemonUi ui;
    halcyrad::DaemonState state;
    std::unique_ptr<ui::Form> formPtr;
    ui::memory::MemoryForm* form = nullptr;
    std::unique_ptr<halcyrad::frmMain> main;
};

}  // namespace fuzz
