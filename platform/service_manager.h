#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

// The service control manager's numbers, as Win32 has them; the adapter and
// the fake use the same ones.
namespace svc {

// Access rights to the manager.
inline constexpr std::uint32_t kManagerConnect = 0x0001;
inline constexpr std::uint32_t kManagerEnumerateService = 0x0004;
inline constexpr std::uint32_t kManagerQueryLockStatus = 0x0010;
inline constexpr std::uint32_t kManagerAllAccess = 0xF003F;
// Access rights to a service.
inline constexpr std::uint32_t kQueryConfig = 0x0001;
inline constexpr std::uint32_t kQueryStatus = 0x0004;
inline constexpr std::uint32_t kEnumerateDependents = 0x0008;
inline constexpr std::uint32_t kStop = 0x0020;
inline constexpr std::uint32_t kInterrogate = 0x0080;
inline constexpr std::uint32_t kUserDefinedControl = 0x0100;
// A standard right, to either.
inline constexpr std::uint32_t kReadControl = 0x00020000;
// Controls.
inline constexpr std::uint32_t kControlStop = 1;
// Service types and the states an enumeration asks for.
inline constexpr std::uint32_t kWin32OwnProcess = 0x10;
inline constexpr std::uint32_t kWin32ShareProcess = 0x20;
inline constexpr std::uint32_t kWin32 = kWin32OwnProcess | kWin32ShareProcess;
inline constexpr std::uint32_t kStateAll = 3;
// Current states.
inline constexpr std::uint32_t kStopped = 1;
inline constexpr std::uint32_t kStartPending = 2;
inline constexpr std::uint32_t kStopPending = 3;
inline constexpr std::uint32_t kRunning = 4;
inline constexpr std::uint32_t kPaused = 7;

// Win32 error codes the callers tell apart.
inline constexpr int kAccessDenied = 5;
inline constexpr int kInvalidName = 123;
inline constexpr int kMoreData = 234;
inline constexpr int kDependentServicesRunning = 1051;
inline constexpr int kInvalidServiceControl = 1052;
inline constexpr int kServiceRequestTimeout = 1053;
inline constexpr int kServiceDoesNotExist = 1060;
inline constexpr int kServiceCannotAcceptCtrl = 1061;
inline constexpr int kServiceNotActive = 1062;

// A Win32 error code as an error_code of the system category.
inline std::error_code Error(int code) { return {code, std::system_category()}; }

}  // namespace svc

// SERVICE_STATUS.
struct ServiceStatus {
    std::uint32_t serviceType = 0;
    std::uint32_t currentState = 0;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t win32ExitCode = 0;
    std::uint32_t serviceSpecificExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

// One record of an enumeration.
struct ServiceEntry {
    std::string name;         // the key name
    std::string displayName;
    ServiceStatus status;
};

// The fields of QUERY_SERVICE_CONFIG the system reads, whole.
struct ServiceConfig {
    std::uint32_t serviceType = 0;
    std::uint32_t startType = 0;
    std::uint32_t errorControl = 0;
    std::string binaryPath;
    std::string startName;  // the account
    std::string displayName;
};

// One open service. The handle is closed when the object goes. Failures
// come back as Win32 error codes in the system category; an output is left
// as it was unless the call succeeded (Control also fills it when the
// manager refused the control with the service's state at hand).
class ServiceHandle {
public:
    virtual ~ServiceHandle() = default;
    virtual std::error_code QueryStatus(ServiceStatus& status) = 0;
    virtual std::error_code QueryConfig(ServiceConfig& config) = 0;
    virtual std::error_code Control(std::uint32_t control, ServiceStatus& status) = 0;
};

// One open connection to a machine's service manager, on its active
// database. The handle is closed when the object goes.
class ServiceManagerHandle {
public:
    virtual ~ServiceManagerHandle() = default;
    // Every service of the types and states asked for, however many, in the
    // manager's order.
    virtual std::error_code Enumerate(std::uint32_t types, std::uint32_t states,
                                      std::vector<ServiceEntry>& services) = 0;
    // Null, with the reason in `error`, when the service cannot be opened
    // with that access.
    virtual std::unique_ptr<ServiceHandle> OpenByName(const std::string& name, std::uint32_t access,
                                                       std::error_code& error) = 0;
};

class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // `machine` "" is the local one. Null, with the reason in `error`, when
    // the manager cannot be opened with that access.
    virtual std::unique_ptr<ServiceManagerHandle> Open(const std::string& machine, std::uint32_t access,
                                                       std::error_code& error) = 0;
};

}  // namespace platform
