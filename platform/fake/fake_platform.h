#pragma once
#include "platform/fake/fake_event_log.h"
#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_service_manager.h"
#include "platform/fake/fake_session.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"
#include "platform/platform.h"

namespace platform::fake {

// Every fake but the registry and the system facts, which tests and fuzz
// targets most often bring their own of; With() joins them into a platform.
struct FakeParts {
    FakeClock clock;
    FakeLocale locale;
    FakeShell shell;
    FakeWindowManager windows;
    FakeProcesses processes;
    FakeShellHook hook;
    FakeEventLog eventLog;
    FakeFiles files;
    FakeServiceManager services{&clock};
    FakeSession session;
    FakeProcessList processList;

    // A window that goes on WM_CLOSE takes its program with it.
    FakeParts() {
        windows.onProcessEnds = [this](std::uint32_t process) { processes.running.erase(process); };
    }
    FakeParts(const FakeParts&) = delete;
    FakeParts& operator=(const FakeParts&) = delete;

    Platform With(Registry& reg, System& sys) {
        return Platform{reg,  sys,      clock, locale,   shell,   windows,    processes,
                        hook, eventLog, files, services, session, processList};
    }
};

}  // namespace platform::fake
