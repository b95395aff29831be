#pragma once
#include "platform/platform.h"
#include "platform/win32/event_log_win32.h"
#include "platform/win32/hook_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/session_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/windows_win32.h"

namespace platform::win32 {

// Every Win32 adapter, and the bundle the units take.
struct Win32Platform {
    Win32Registry registry;
    Win32System system;
    Win32Clock clock;
    Win32Locale locale;
    Win32Shell shell;
    Win32WindowManager windows;
    Win32Processes processes;
    Win32ShellHook hook;
    Win32EventLog eventLog;
    Win32Files files;
    Win32ServiceManager services;
    Win32Session session;
    Win32ProcessList processList;
    Platform plat{registry, system, clock, locale, shell, windows, processes, hook, eventLog, files, services, session, processList};
};

}  // namespace platform::win32
