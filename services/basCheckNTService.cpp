#include "services/basCheckNTService.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "services/basErrorCodes.h"
#include "services/basServices.h"
#include "services/frmError.h"

namespace basCheckNTService {

namespace svc = platform::svc;

namespace {

// What the step needs and no more: a standard user holds few rights, and a
// request for one it lacks fails as a whole.
constexpr std::uint32_t kManagerAccess = svc::kManagerConnect | svc::kManagerEnumerateService;
constexpr std::uint32_t kStopAccess = svc::kStop | svc::kQueryStatus | svc::kQueryConfig;

// One line of the log, and of the event log when it is on; `why` starts
// with " because ", which the event's reason field goes without.
void Report(const StopContext& c, const std::string& displayName, const std::string& why) {
    const std::string message =
        c.clock.GeneralDate(c.clock.Now()) + "  Could not stop the service " + displayName + why;
    if (c.appendLogLine) c.appendLogLine(message);
    constexpr std::string_view kBecause = " because ";
    const std::string reason = why.compare(0, kBecause.size(), kBecause) == 0 ? why.substr(kBecause.size()) : why;
    if (c.logEvents == 1 && c.reportLogEvent) c.reportLogEvent(kEventWarning, kEventId, {displayName, reason}, message);
}

// The please-wait window, unloaded on every way out.
class PleaseWait {
public:
    PleaseWait(ui::Ui& ui, const std::string& displayName)
        : form_(ui.CreateForm("frmError", nullptr)), window_(ui, *form_) {
        window_.Form_Load();
        form_->KeepInputDuringWaits();
        window_.lblMsg.SetCaption("Stopping " + displayName + " service.  Please wait...");
        form_->ShowModeless();
        ui.DoEvents();  // paints it, once
    }
    ~PleaseWait() {
        window_.Form_Unload();
        form_->Close();
    }
    PleaseWait(const PleaseWait&) = delete;
    PleaseWait& operator=(const PleaseWait&) = delete;

private:
    std::unique_ptr<ui::Form> form_;
    frmError window_;
};

}  // namespace

const char* StopFailureReason(int errorCode) {
    switch (errorCode) {
        case svc::kAccessDenied: return " because access to the service is denied";
        case svc::kDependentServicesRunning: return " because other running services are dependent on it";
        case svc::kInvalidServiceControl:
            return " because the requested control is not valid or is unacceptable for this service";
        case svc::kServiceRequestTimeout:
            return " because the service did not respond to the stop request in a reasonable amount of time";
        case svc::kServiceCannotAcceptCtrl: return " because the service cannot accept the stop messages at this time";
        case svc::kServiceNotActive: return " because the service has not been started";
        default: return "";
    }
}

bool StopNTService(const StopContext& c, const std::string& displayName, const std::string& server) {
    // The limit is measured on a clock that moves only forward: a clock set
    // back during the wait would add to it.
    const std::uint64_t startMs = c.clock.Milliseconds();

    // Both handles close when they go, whichever way this returns.
    std::error_code error;
    auto manager = c.services.Open(server, kManagerAccess, error);
    if (!manager) {
        Report(c, displayName, " because the service manager could not be opened; the message is:  " +
                                   basErrorCodes::Describe(error.value()));
        return false;
    }
    const std::string name = basServices::FindServiceName(*manager, displayName, error);
    if (error) {
        Report(c, displayName,
               " because the services could not be listed; the message is:  " + basErrorCodes::Describe(error.value()));
        return false;
    }
    if (name.empty()) {
        Report(c, displayName, " because the service is not installed");
        return false;
    }
    auto service = manager->OpenByName(name, kStopAccess, error);
    if (!service) {
        Report(c, displayName,
               " because the service could not be opened; the message is:  " + basErrorCodes::Describe(error.value()));
        return false;
    }

    PleaseWait window(c.ui, displayName);

    // The rhythm the user sees: one stop request, one check
    // and one trace line a second, until the service has stopped or the
    // limit has passed. Between the requests the state is looked at every
    // pollMs, and a stopped service ends the wait at once.
    const unsigned pollMs = std::clamp(c.pollMs, 1u, 1000u);
    bool accepted = false;
    int lastError = 0;
    long long elapsed = 0;  // as computed in the previous pass
    platform::ServiceStatus status;
    for (;;) {
        std::error_code sent = service->Control(svc::kControlStop, status);
        accepted = !sent;
        lastError = sent.value();

        const std::uint64_t passStart = c.clock.Milliseconds();
        bool stoppedEarly = false;
        for (;;) {
            std::uint64_t spent = c.clock.Milliseconds() - passStart;
            if (spent >= 1000) break;
            c.clock.Pause(static_cast<unsigned>(std::min<std::uint64_t>(pollMs, 1000 - spent)));
            if (c.clock.Milliseconds() - passStart >= 1000) break;  // the pass's own check follows
            platform::ServiceStatus now;
            if (!service->QueryStatus(now) && now.currentState == svc::kStopped) {
                status = now;
                stoppedEarly = true;
                break;
            }
        }
        if (!stoppedEarly) service->QueryStatus(status);  // a failed query keeps the last status

        if (c.develop && c.appendLogLine)
            c.appendLogLine("ServiceNameUserSees:  " + displayName +
                            ";  ServiceStatus.dwCurrentState:  " + std::to_string(status.currentState) + " / " +
                            "SecElapsed: " + std::to_string(elapsed) + "  SecToWait: " + std::to_string(c.waitSeconds));
        if (status.currentState == svc::kStopped) return accepted;
        elapsed = static_cast<long long>((c.clock.Milliseconds() - startMs) / 1000);
        if (elapsed > c.waitSeconds) break;
    }

    // Not stopped in time: the last request says why; one that was taken
    // leaves only the time.
    std::string reason = StopFailureReason(lastError);
    if (reason.empty())
        reason = lastError == 0 ? " because it did not stop within " + std::to_string(c.waitSeconds) + " seconds"
                                : " because the stop request failed; the message is:  " +
                                      basErrorCodes::Describe(lastError);
    Report(c, displayName, reason);
    return accepted;
}

}  // namespace basCheckNTService
