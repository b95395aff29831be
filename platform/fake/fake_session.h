#pragma once
#include <algorithm>
#include <functional>
#include <set>
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
    int privilegeEnables = 0;
    std::error_code privilegeStatus;
    std::vector<Request> requests;
    std::error_code endStatus;  // set to make Windows refuse
    std::function<void()> onEndSession;
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
