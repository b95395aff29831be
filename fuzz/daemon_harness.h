#pragma once
#include <memory>

#include "common/basSettings.h"
#include "daemon/DaemonState.h"
#include "daemon/frmMain.h"
#include "platform/fake/fake_event_log.h"
#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_service_manager.h"
#include "platform/fake/fake_session.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"
#include "tests/host/support/daemon_ui.h"
#include "ui/memory/memory_ui.h"

namespace fuzz {

// The daemon on an English Windows 2000 of fakes with in-memory controls, as
// the host tests build it, over a registry the target fills.
struct DaemonHarness {
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
    platform::fake::FakeClock clock;
    platform::fake::FakeLocale locale;
    platform::fake::FakeShell shell;
    platform::fake::FakeWindowManager windows;
    platform::fake::FakeProcesses processes;
    platform::fake::FakeShellHook hook;
    platform::fake::FakeEventLog eventLog;
    platform::fake::FakeFiles files;
    platform::fake::FakeServiceManager services{&clock};
    platform::fake::FakeSession session;
    platform::fake::FakeProcessList processList;
    platform::Platform plat{reg,      sys,   clock,    locale,   shell,   windows,    processes,
                            hook,     eventLog, files, services, session, processList};
    testing_support::DaemonUi ui;
    halcyrad::DaemonState state;
    std::unique_ptr<ui::Form> formPtr;
    ui::memory::MemoryForm* form = nullptr;
    std::unique_ptr<halcyrad::frmMain> main;
};

}  // namespace fuzz
