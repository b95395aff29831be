#include "daemon/basShutdown.h"

#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "common/basRegistry.h"
#include "daemon/basDaemon.h"
#include "daemon/basEventLog.h"
#include "daemon/basListProcesses.h"
#include "daemon/basRunPrograms.h"
#include "services/basCheckNTService.h"
#include "services/basErrorCodes.h"
#include "services/frmError.h"

namespace basShutdown {

namespace S = basSettings;
using platform::Session;

namespace {

constexpr std::int16_t kWin9x = 1;

void Log(const ShutdownContext& c, basEventLog::EventId id, std::uint16_t type, std::vector<std::string> fields,
         const std::string& line) {
    basEventLog::Record(c.plat, c.state.LogFolder, c.state.LogEvents, type, id, std::move(fields), line);
}

std::string Now(const ShutdownContext& c) { return c.plat.clock.GeneralDate(c.plat.clock.Now()); }

std::string Describe(const std::error_code& error) {
    std::string text = basErrorCodes::GetErrorText(error.value());
    return text.empty() ? "Error " + std::to_string(error.value()) : text;
}

// The please-wait window while the programs run, opened with the first one.
class ProgramsWindow {
public:
    explicit ProgramsWindow(ui::Ui& ui) : ui_(ui) {}
    ~ProgramsWindow() {
        if (!form_) return;
        window_->Form_Unload();
        form_->Close();
    }
    ProgramsWindow(const ProgramsWindow&) = delete;
    ProgramsWindow& operator=(const ProgramsWindow&) = delete;

    void Show(const std::string& name) {
        if (!form_) {
            form_ = ui_.CreateForm("frmError", nullptr);
            window_.emplace(ui_, *form_);
            window_->Form_Load();
            form_->KeepInputDuringWaits();
        }
        window_->lblMsg.SetCaption("Running " + name + ".  Please wait...");
        form_->ShowModeless();
        ui_.DoEvents();  // paints it before the program takes over
    }

private:
    ui::Ui& ui_;
    std::unique_ptr<ui::Form> form_;
    std::optional<frmError> window_;
};

void RunPrograms(const ShutdownContext& c) {
    ProgramsWindow window(c.ui);
    basRunPrograms::RunContext run{
        .plat = c.plat, .logFolder = c.state.LogFolder, .logEvents = c.state.LogEvents, .settingsRoot = c.state.SettingsRoot};
    run.beforeProgram = [&window, &c](const std::string& name) {
        if (c.beforeStep) c.beforeStep(Step::Program, name);
        window.Show(name);
    };
    basRunPrograms::RunCheckedPrograms(run, c.rows, c.runThisFirst);
}

// A program started instead of ending the session; false (logged) when it
// could not start.
bool StartInstead(const ShutdownContext& c, const std::string& commandLine, std::uint16_t show) {
    std::error_code error = c.plat.processes.StartShown(commandLine, show);
    if (!error) return true;
    Log(c, basEventLog::kProgramNotStarted, basEventLog::kWarningType, {commandLine},
        "Didn't run " + commandLine + " at " + Now(c) + " (check file existence).");
    return false;
}

// Asks Windows to end the session; false (logged) when it refuses.
bool EndSession(const ShutdownContext& c, std::uint32_t flags) {
    if (c.beforeRequest) c.beforeRequest();
    std::error_code error = c.plat.session.EndSession(flags, Session::kPlannedReason);
    if (!error) return true;
    const std::string request = std::to_string(flags), reason = Describe(error);
    Log(c, basEventLog::kSessionEndRefused, basEventLog::kErrorType, {request, reason},
        Now(c) + "  Windows did not end the session (request " + request + "); the message is:  " + reason);
    return false;
}

enum class Ending { Requested, ProcessEnds, Failed };

Ending Asked(const ShutdownContext& c, std::uint32_t flags) { return EndSession(c, flags) ? Ending::Requested : Ending::Failed; }

Ending Instead(bool started) { return started ? Ending::ProcessEnds : Ending::Failed; }

// The right to shut down, then what the choice asks for.
Ending EndTheSession(const ShutdownContext& c) {
    const auto& st = c.state;
    const bool nt = st.WinPlatform != kWin9x;
    if (nt) (void)c.plat.session.EnableShutdownPrivilege();  // a refusal shows in the request's status
    switch (c.choice) {
        case Choice::Shutdown:
            return Asked(c, ExitFlags(c.choice, st.WinPlatform, st.WinVer, nt && PowerOffAfterShutdown(c.plat.registry),
                                      st.ForceClose));
        case Choice::Restart:
            // Windows alone restarts, not the computer.
            if (!nt && c.shiftRestart)
                return Instead(StartInstead(c, "\"" + st.AppPath + kCycler + "\"", kShowHidden));
            return Asked(c, ExitFlags(c.choice, st.WinPlatform, st.WinVer, false, st.ForceClose));
        case Choice::Logoff: {
            std::uint32_t flags = ExitFlags(c.choice, st.WinPlatform, st.WinVer, false, st.ForceClose);
            if (!nt && (flags & Session::kForce)) basListProcesses::TerminateShell(c.plat.processList);
            return Asked(c, flags);
        }
        case Choice::MsDos: {
            if (nt) return Ending::ProcessEnds;
            std::string pif = "\"" + st.WindowsDir + kExit2Dos + "\"";
            // Without it nothing would restart: the daemon stays, as when it cannot start.
            if (!basDaemon::FileExists(c.plat.system, st.WindowsDir + kExit2Dos)) {
                Log(c, basEventLog::kProgramNotStarted, basEventLog::kWarningType, {pif},
                    "Didn't run " + pif + " at " + Now(c) + " (check file existence).");
                return Ending::Failed;
            }
            return Instead(StartInstead(c, pif, kShowMinimized));
        }
    }
    return Ending::ProcessEnds;
}

// A step failed: the daemon stays, and intercepts again.
void Stopped(const ShutdownContext& c, const std::string& what) noexcept {
    try {
        c.plat.hook.SetEnabled(true);
        Log(c, basEventLog::kSequenceStopped, basEventLog::kErrorType, {what},
            Now(c) + "  The shutdown sequence stopped: " + what);
    } catch (...) {
        // The hook is what matters; a line that cannot be written is lost.
    }
}

}  // namespace

std::uint32_t ExitFlags(Choice choice, std::int16_t winPlatform, std::int16_t winVer, bool powerOff,
                        std::int16_t forceClose) {
    std::uint32_t force = forceClose == 1 ? Session::kForce : 0;
    switch (choice) {
        case Choice::Shutdown:
            // From NT 5 on, Windows' own dialog powers off wherever the
            // machine can; only NT 4 asks the registry.
            if (winPlatform == kWin9x || winVer >= 5 || powerOff)
                return Session::kShutdown | Session::kPowerOff | force;
            return Session::kShutdown | force;
        case Choice::Restart: return Session::kShutdown | Session::kReboot | force;
        case Choice::Logoff:
        case Choice::MsDos: return Session::kLogoff | force;
    }
    return Session::kLogoff | force;
}

bool PowerOffAfterShutdown(platform::Registry& registry) {
    std::string text = basRegistry::ReadValue(registry, platform::RootKey::LocalMachine, S::kWinlogonKey,
                                              S::PowerdownAfterShutdown.name, "0", true, basRegistry::Flavor::Daemon);
    return S::ToInt32(text) == 1;
}

void StopListedServices(const ShutdownContext& c) {
    if (c.stopList.empty() || c.stopList.front() == c.state.NoServicesText) return;
    if (c.choice == Choice::Logoff) return;
    if (!c.stopServices) return;
    basCheckNTService::StopContext stop(c.plat.services, c.plat.clock, c.ui);
    stop.waitSeconds = c.state.ServiceWaitSeconds;
    stop.develop = c.state.HasSwitch("/develop");
    stop.logEvents = c.state.LogEvents;
    stop.appendLogLine = [&c](const std::string& line) { basEventLog::AppendLogLine(c.plat, c.state.LogFolder, line); };
    static_assert(basCheckNTService::kEventId == basEventLog::kServiceNotStopped);
    stop.reportLogEvent = [&c](std::int16_t type, std::int32_t id, const std::vector<std::string>& fields,
                               const std::string& line) {
        basEventLog::ReportLogEvent(c.plat, static_cast<std::uint16_t>(type), static_cast<basEventLog::EventId>(id),
                                    fields, line);
    };
    for (const std::string& service : c.stopList) {
        if (c.beforeStep) c.beforeStep(Step::Service, service);
        basCheckNTService::StopNTService(stop, service);
    }
}

void RunSteps(const ShutdownContext& c) {
    S::Store store(c.plat.registry, c.state.SettingsRoot, basRegistry::Flavor::Daemon);
    if (store.Read(S::Order)) {
        RunPrograms(c);
        StopListedServices(c);
    } else {
        StopListedServices(c);
        RunPrograms(c);
    }
}

Outcome RunShutdown(const ShutdownContext& c) {
    platform::ShellHook& hook = c.plat.hook;
    try {
        // The system's dialogs that come while the session ends are not ours.
        hook.SetEnabled(false);
        c.ui.DoEvents();
        c.ui.DoEvents();
        basDaemon::CloseDimmer(c.plat.windows);
        if (c.saveAndHide) c.saveAndHide();
        c.ui.DoEvents();  // the dialog is gone before the long steps

        RunSteps(c);

        if (c.state.HasSwitch("/develop")) {
            hook.SetEnabled(true);
            return Outcome::Resident;
        }
        // Test runs: the hook stays off, as the session would have ended.
        if (c.state.HasSwitch("/noexit")) return Outcome::Resident;

        switch (EndTheSession(c)) {
            case Ending::ProcessEnds: break;
            case Ending::Requested:
                // Taken is not done: an application or the user may still
                // cancel the end, and then the session goes on with the
                // daemon intercepting. The daemon ends when the end comes.
                hook.SetEnabled(true);
                return Outcome::Requested;
            case Ending::Failed: hook.SetEnabled(true); return Outcome::Resident;
        }
    } catch (const std::exception& e) {
        Stopped(c, e.what());
        return Outcome::Resident;
    } catch (...) {
        Stopped(c, "Unknown error");
        return Outcome::Resident;
    }
    if (c.endProcess) c.endProcess();
    return Outcome::Ended;
}

}  // namespace basShutdown
