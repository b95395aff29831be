#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/service_manager.h"

namespace platform::fake {

// A service manager in memory. Services are enumerated in the order they
// were added; stopping follows the clock it is given, so that a service can
// stop some milliseconds after it accepted the request. Every call is
// recorded, and the handles still open are counted.
class FakeServiceManager : public ServiceManager {
public:
    struct Service {
        std::string name, displayName;
        std::uint32_t state = svc::kRunning;
        std::uint32_t type = svc::kWin32OwnProcess;
        std::uint32_t startType = 3;  // manual
        std::uint32_t errorControl = 1;
        std::string binaryPath = "C:\\WINNT\\system32\\service.exe";
        std::string startName = "LocalSystem";
        // After the first accepted stop request: 0 stops at once, a positive
        // number that many milliseconds later, -1 never (the service stays
        // stop-pending and later requests get 1061).
        int stopAfterMs = 0;
        // Non-zero: every stop request is refused with this code.
        int stopError = 0;
        // Non-zero: the service cannot be opened; this is why.
        int openError = 0;
        // Rights the caller has on the service: asking for more is refused (5).
        std::uint32_t grantedAccess = 0xFFFFFFFF;
        // Set when a stop request was accepted and the service will stop.
        bool stopping = false;
        std::uint64_t stopsAt = 0;
    };

    // What Windows 10 grants a standard user: on the manager, and on a
    // typical service (no right to stop it).
    static constexpr std::uint32_t kStandardUserManager =
        svc::kManagerConnect | svc::kManagerEnumerateService | svc::kManagerQueryLockStatus | svc::kReadControl;
    static constexpr std::uint32_t kStandardUserService = svc::kQueryConfig | svc::kQueryStatus |
                                                          svc::kEnumerateDependents | svc::kInterrogate |
                                                          svc::kUserDefinedControl | svc::kReadControl;

    // `clock` times the services that stop after a delay; without one they
    // stop at once.
    explicit FakeServiceManager(Clock* clock = nullptr) : clock_(clock) {}

    // From now on the caller holds a standard user's rights: on the manager,
    // on every service there and on every service added later.
    void AsStandardUser();

    Service& Add(const std::string& name, const std::string& displayName, std::uint32_t state = svc::kRunning);
    // The first service with that key name (the key is case-insensitive, as
    // on Windows), or null.
    Service* Find(const std::string& name);

    std::unique_ptr<ServiceManagerHandle> Open(const std::string& machine, std::uint32_t access,
                                               std::error_code& error) override;

    // The state now: a service whose stop time has come is stopped.
    std::uint32_t StateOf(Service& s);
    std::uint64_t NowMs() const;

    std::vector<Service> services;
    int openError = 0;       // the manager cannot be opened
    // Rights the caller has on the manager: asking for more is refused (5),
    // and so is an enumeration on a handle opened without the right to it.
    std::uint32_t grantedAccess = 0xFFFFFFFF;
    // The rights a service added from now on grants.
    std::uint32_t newServiceAccess = 0xFFFFFFFF;
    int enumerateError = 0;  // enumerations fail

    struct ManagerOpen {
        std::string machine;
        std::uint32_t access;
    };
    std::vector<ManagerOpen> managerOpens;
    struct ServiceOpen {
        std::string name;
        std::uint32_t access;
    };
    std::vector<ServiceOpen> serviceOpens;
    std::vector<std::string> stopRequests;  // key names, one per request
    int statusQueries = 0;
    int enumerations = 0;
    // Manager and service handles not closed yet.
    int liveHandles = 0;
    // Runs at each status query, before it is answered.
    std::function<void(const std::string& name)> onStatusQuery;

private:
    Clock* clock_;
};

}  // namespace platform::fake
