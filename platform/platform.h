#pragma once
#include "platform/clock.h"
#include "platform/event_log.h"
#include "platform/text_locale.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service_manager.h"
#include "platform/session.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window_manager.h"

namespace platform {

// What the system asks of Windows, handed to each unit by its deliverable.
struct Platform {
    Registry& registry;
    System& system;
    Clock& clock;
    Locale& locale;
    Shell& shell;
    WindowManager& windows;
    Processes& processes;
    ShellHook& hook;
    EventLog& eventLog;
    Files& files;
    ServiceManager& services;
    Session& session;
    ProcessList& processList;
};

}  // namespace platform
