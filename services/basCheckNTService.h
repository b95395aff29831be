#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/service_manager.h"
#include "ui/controls.h"

// Stopping one service with a bounded wait, before a shut-down or restart.
namespace basCheckNTService {

// The event identifier of a service that did not stop (the daemon's message
// table holds its text), and its type, EVENTLOG_WARNING_TYPE.
inline constexpr std::int32_t kEventId = 270;
inline constexpr std::int16_t kEventWarning = 2;

// What a stop needs from the daemon: nothing is read from its globals.
struct StopContext {
    StopContext(platform::ServiceManager& services, platform::Clock& clock, ui::Ui& ui)
        : services(services), clock(clock), ui(ui) {}

    platform::ServiceManager& services;
    platform::Clock& clock;
    ui::Ui& ui;
    // "SecondsToWaitForService": seconds to wait after the first stop
    // request, on the clock's monotonic count.
    std::int32_t waitSeconds = 20;
    // "/develop" on the daemon's command line: a trace line per second.
    bool develop = false;
    // "LogEV": 1 also sends the failure to the event log.
    std::int16_t logEvents = 1;
    // AppendLogLine (a line of events.txt) and ReportLogEvent (event type,
    // event identifier, the entry's fields: the display name and the reason,
    // and the line); either may be empty.
    std::function<void(const std::string& line)> appendLogLine;
    std::function<void(std::int16_t eventType, std::int32_t eventId, const std::vector<std::string>& fields,
                       const std::string& line)>
        reportLogEvent;
    // How often the state is looked at between the once-a-second requests.
    unsigned pollMs = 50;
};

// Stops the service with display name `displayName` on `server` ("" the
// local machine) and waits until it has stopped, at most until the wait
// limit has passed, with the please-wait window up. A service that does not
// stop in time is reported with the reason of the last stop request; one
// that is not installed, or that this user may not open for stopping, is
// reported with its reason and no window. Returns whether the last stop
// request sent was accepted.
bool StopNTService(const StopContext& context, const std::string& displayName, const std::string& server = "");

// The reason text for the error code of a stop request; "" for a code that
// is not reported.
const char* StopFailureReason(int errorCode);

}  // namespace basCheckNTService
