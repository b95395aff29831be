#include "services/basServices.h"

#include <vector>

#include "common/basListView.h"
#include "common/basWinVer.h"
#include "services/CService.h"

namespace basServices {

namespace svc = platform::svc;

namespace {

// Every Win32 service of a machine, active or not; false when the manager
// cannot be opened or the enumeration fails.
bool EnumerateAll(platform::ServiceManager& manager, const std::string& server,
                  std::vector<platform::ServiceEntry>& services) {
    std::error_code error;
    auto handle = manager.Open(server, svc::kManagerEnumerateService, error);
    if (!handle) return false;
    return !handle->Enumerate(svc::kWin32, svc::kStateAll, services);
}

}  // namespace

bool FillRunningServices(platform::ServiceManager& manager, ui::ListView& list, std::int16_t winPlatform,
                         const std::string& server) {
    if (winPlatform != 2) return false;
    std::vector<platform::ServiceEntry> services;
    if (!EnumerateAll(manager, server, services)) return false;
    for (const auto& entry : services) {
        // A service stopped when enumerated is not asked again: on a machine
        // with hundreds of services that would be most of them, each a
        // connection and several calls to the manager.
        if (entry.status.currentState == platform::svc::kStopped) continue;
        CService service(manager);
        if (!service.Init(server, entry.name, entry.displayName, entry.status.currentState)) continue;
        // The state is asked again now, not taken from the enumeration.
        if (service.StatusString() != "Running") continue;
        if (basListView::FindItemText(0, entry.displayName, list)) continue;
        list.AddRow(entry.displayName);
    }
    return true;
}

std::string ServiceNameFromDisplayName(platform::ServiceManager& manager, const std::string& displayName) {
    std::vector<platform::ServiceEntry> services;
    if (!EnumerateAll(manager, "", services)) return {};
    for (const auto& entry : services) {
        // Only a record with that display name is worth an object (and the
        // manager connection and configuration query that come with it).
        if (entry.displayName != displayName) continue;
        CService service(manager);
        if (service.Init("", entry.name, entry.displayName, entry.status.currentState)) return service.Name();
    }
    return {};
}

std::map<std::string, std::string> ServiceNamesByDisplayName(platform::ServiceManager& manager) {
    std::map<std::string, std::string> names;
    std::vector<platform::ServiceEntry> services;
    if (!EnumerateAll(manager, "", services)) return names;
    // A blank key name is one a service object refuses, as the single lookup does.
    for (const auto& entry : services)
        if (entry.name.find_first_not_of(' ') != std::string::npos) names.emplace(entry.displayName, entry.name);
    return names;
}

std::string FindServiceName(platform::ServiceManagerHandle& manager, const std::string& displayName,
                            std::error_code& error) {
    std::vector<platform::ServiceEntry> services;
    error = manager.Enumerate(svc::kWin32, svc::kStateAll, services);
    if (error) return {};
    // A blank key name is one a service object refuses, as the single lookup does.
    for (const auto& entry : services)
        if (entry.displayName == displayName && entry.name.find_first_not_of(' ') != std::string::npos)
            return entry.name;
    return {};
}

std::vector<StopRight> StopRights(platform::ServiceManager& manager, const std::vector<std::string>& displayNames) {
    std::vector<StopRight> rights(displayNames.size(), StopRight::Unknown);
    std::error_code error;
    auto handle = manager.Open("", svc::kManagerConnect | svc::kManagerEnumerateService, error);
    if (!handle) return rights;
    std::vector<platform::ServiceEntry> services;
    if (handle->Enumerate(svc::kWin32, svc::kStateAll, services)) return rights;
    std::map<std::string, std::string> keys;
    for (const auto& entry : services)
        if (entry.name.find_first_not_of(' ') != std::string::npos) keys.emplace(entry.displayName, entry.name);
    for (std::size_t i = 0; i < displayNames.size(); ++i) {
        auto key = keys.find(displayNames[i]);
        if (key == keys.end()) {
            rights[i] = StopRight::NotInstalled;
            continue;
        }
        // Only the right in question: asking for more could be refused for
        // a right the stop does not need.
        if (handle->OpenByName(key->second, svc::kStop, error)) rights[i] = StopRight::Allowed;
        else if (error.value() == svc::kAccessDenied) rights[i] = StopRight::Denied;
        else if (error.value() == svc::kServiceDoesNotExist) rights[i] = StopRight::NotInstalled;
    }
    return rights;
}

}  // namespace basServices
