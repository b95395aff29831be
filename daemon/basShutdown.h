#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/basSettings.h"
#include "daemon/DaemonState.h"
#include "platform/platform.h"
#include "ui/controls.h"

// What OK in the shutdown dialog sets going: the checked programs and the
// listed services in the configured order, then the end of the session the
// way the user chose.
namespace basShutdown {

enum class Choice { Shutdown, Restart, Logoff, MsDos };

// What a step is about to do: run a program, or stop a service.
enum class Step { Program, Service };

inline constexpr const char* kCycler = "cycler.exe";
inline constexpr const char* kExit2Dos = "Exit2Dos.pif";
// Show codes of the programs started instead of ending the session.
inline constexpr std::uint16_t kShowHidden = 0;
inline constexpr std::uint16_t kShowMinimized = 2;

// What the sequence needs of the dialog, gathered when OK was pressed.
struct ShutdownContext {
    platform::Platform& plat;
    ui::Ui& ui;
    halcyrad::DaemonState& state;
    Choice choice = Choice::Logoff;
    // Shift alone was held on OK (Windows 95/98).
    bool shiftRestart = false;
    // The run list as the dialog shows it, and its check box.
    std::vector<basSettings::RunRow> rows{};
    bool runThisFirst = false;
    // The stop list's lines, and its check box.
    std::vector<std::string> stopList{};
    bool stopServices = false;
    // Saves the dialog's state and hides it.
    std::function<void()> saveAndHide{};
    // Ends the daemon's process, where the sequence ends with it: a program
    // was started in place of the session's end, or there was nothing to ask.
    std::function<void()> endProcess{};
    // Runs with the entry's or the service's name before each program starts
    // and each service is asked to stop; may be empty.
    std::function<void(Step step, const std::string& name)> beforeStep{};
    // Runs just before Windows is asked to end the session; may be empty.
    std::function<void()> beforeRequest{};
};

// How the sequence ended for the daemon.
enum class Outcome {
    Ended,      // a program took over the restart, or nothing was to be asked: the process ends
    Requested,  // Windows took the request: the daemon stays, intercepting, until the session ends
    Resident,   // "/develop", "/noexit", or a step failed: the daemon stays
};

// The flags of the session-end request for a choice on the platform
// (`winPlatform` 1 Windows 95/98, 2 NT; `winVer` 5 NT 5 and later); `powerOff`
// is "PowerdownAfterShutdown" being 1 (what decides on NT 4). Only
// `forceClose` 1 forces.
std::uint32_t ExitFlags(Choice choice, std::int16_t winPlatform, std::int16_t winVer, bool powerOff,
                        std::int16_t forceClose);

// "PowerdownAfterShutdown" of the machine, converted to a number, is 1.
bool PowerOffAfterShutdown(platform::Registry& registry);

// The stop list's services, in order, each waited for; nothing for a log off,
// an unchecked box or the "no services" line.
void StopListedServices(const ShutdownContext& ctx);

// The two middle steps in the order of "Order": the checked programs due
// today, and the stop list's services (none for a log off).
void RunSteps(const ShutdownContext& ctx);

// The whole sequence. A step that fails enables the hook again and is
// logged, and the daemon stays resident. A request Windows took enables the
// hook again too: Windows or the user may still cancel the end, and the next
// shutdown must be intercepted then.
Outcome RunShutdown(const ShutdownContext& ctx);

}  // namespace basShutdown
