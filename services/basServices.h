#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/service_manager.h"
#include "ui/controls.h"

// Services by display name: the running ones for a list, and the key name
// behind a display name.
namespace basServices {

// Indexed by state - 1.
inline constexpr std::array<std::string_view, 7> StatusNames = {
    "Stopped", "Start Pending", "Stop Pending", "Running", "Continue Pending", "Pause Pending", "Paused"};
// Indexed by start type.
inline constexpr std::array<std::string_view, 5> StartTypeNames = {"Boot", "System", "Automatic", "Manual",
                                                                     "Disabled"};

// Adds the display name of every Win32 service of `server` ("" the local
// machine) that is running now and not yet in the list (column 0, exact
// comparison). False, with the list unchanged, on Windows 95/98 or when the
// services cannot be enumerated.
bool FillRunningServices(platform::ServiceManager& manager, ui::ListView& list, std::int16_t winPlatform,
                         const std::string& server = "");

// The key name of the first service of the local machine whose display name
// is exactly `displayName`; "" when there is none or the services cannot be
// enumerated.
std::string ServiceNameFromDisplayName(platform::ServiceManager& manager, const std::string& displayName);

// The same lookup for many names at once, from one enumeration: the key
// name of the first service of each display name. Empty when the services
// cannot be enumerated.
std::map<std::string, std::string> ServiceNamesByDisplayName(platform::ServiceManager& manager);

// The same lookup on a manager already open (with the right to enumerate):
// "" with the reason in `error` when the services cannot be enumerated, ""
// and no error when no service has that display name.
std::string FindServiceName(platform::ServiceManagerHandle& manager, const std::string& displayName,
                            std::error_code& error);

// Whether this user may stop a service, as the service manager answers an
// open with the right to stop it.
enum class StopRight { Allowed, Denied, NotInstalled, Unknown };

// The answer for each display name, in order, from one enumeration of the
// local machine. Unknown for all when the manager cannot be asked, and for a
// service whose open fails for another reason than its rights.
std::vector<StopRight> StopRights(platform::ServiceManager& manager, const std::vector<std::string>& displayNames);

}  // namespace basServices
