#pragma once
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/session.h"

namespace platform::fake {

class FakeSession : public Session {
public:
    struct Request {
        std::uint32_t flags, reason;
        friend bool operator==(const Request&, const Request&) = default;
    };
    std::error_code EnableShutdownPrivilege() override {
        ++privilegeEnables;
        return privilegeStatus;
    }
    std::error_code EndSession(std::uint32_t flags, std::uint32_t reason) override {
        requests.push_back({flags, reason});
        if (onEndSession) onEndSession();
        return endStatus;
    }
    bool CanHoldEnd() override { return canHold; }
    // As Windows: nothing before Vista, and no hold without a window.
    std::error_code HoldEnd(WindowHandle window, const std::string& reason) override {
        if (!canHold) return {kNoHold, std::system_category()};
        if (!window) return {1400, std::system_category()};  // invalid window handle
        if (holdStatus) return holdStatus;
        reasons.push_back(reason);
        holding = true;
        return {};
    }
    std::error_code ReleaseEnd(WindowHandle window) override {
        if (!canHold) return {kNoHold, std::system_category()};
        if (!window) return {1400, std::system_category()};
        ++releases;
        holding = false;
        return {};
    }
    int privilegeEnables = 0;
    std::error_code privilegeStatus;
    std::vector<Request> requests;
    std::error_code endStatus;  // set to make Windows refuse
    std::function<void()> onEndSession;
    bool canHold = true;               // false: Windows before Vista
    std::error_code holdStatus;        // set to refuse every reason (Wine 8's stub gives 120)
    std::vector<std::string> reasons;  // every reason shown, in order
    bool holding = false;
    int releases = 0;
};

class FakeProcessList : public ProcessList {
public:
    std::vector<ProcessEntry> Snapshot(std::error_code& error) override {
        error = snapshotStatus;
        return snapshotStatus ? std::vector<ProcessEntry>{} : processes;
    }
    std::error_code Terminate(std::uint32_t processId, std::uint32_t exitCode) override {
        if (refuse.count(processId)) return {5, std::system_category()};  // access is denied
        auto it = std::find_if(processes.begin(), processes.end(), [&](const ProcessEntry& e) { return e.id == processId; });
        if (it == processes.end()) return {87, std::system_category()};  // no such process
        processes.erase(it);
        terminated.push_back({processId, exitCode});
        return {};
    }
    std::vector<ProcessEntry> processes;
    std::error_code snapshotStatus;
    std::set<std::uint32_t> refuse;  // processes that cannot be ended
    std::vector<std::pair<std::uint32_t, std::uint32_t>> terminated;  // id and exit code
};

}  // namespace platform::fake
