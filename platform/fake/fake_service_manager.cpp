#include "platform/fake/fake_service_manager.h"

#include <algorithm>
#include <cctype>

namespace platform::fake {

namespace {

bool SameKey(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

class FakeService : public ServiceHandle {
public:
    FakeService(FakeServiceManager& m, std::string name, std::uint32_t access)
        : m_(m), name_(std::move(name)), access_(access) {
        ++m_.liveHandles;
    }
    ~FakeService() override { --m_.liveHandles; }

    std::error_code QueryStatus(ServiceStatus& status) override {
        ++m_.statusQueries;
        if (m_.onStatusQuery) m_.onStatusQuery(name_);
        if (!(access_ & svc::kQueryStatus)) return svc::Error(svc::kAccessDenied);
        auto* s = m_.Find(name_);
        if (!s) return svc::Error(svc::kServiceDoesNotExist);
        status = StatusOf(*s);
        return {};
    }

    std::error_code QueryConfig(ServiceConfig& config) override {
        if (!(access_ & svc::kQueryConfig)) return svc::Error(svc::kAccessDenied);
        auto* s = m_.Find(name_);
        if (!s) return svc::Error(svc::kServiceDoesNotExist);
        config = {s->type, s->startType, s->errorControl, s->binaryPath, s->startName, s->displayName};
        return {};
    }

    std::error_code Control(std::uint32_t control, ServiceStatus& status) override {
        if (control != svc::kControlStop) return svc::Error(svc::kInvalidServiceControl);
        m_.stopRequests.push_back(name_);
        if (!(access_ & svc::kStop)) return svc::Error(svc::kAccessDenied);
        auto* s = m_.Find(name_);
        if (!s) return svc::Error(svc::kServiceDoesNotExist);
        if (s->stopError) {
            status = StatusOf(*s);
            return svc::Error(s->stopError);
        }
        switch (m_.StateOf(*s)) {
            case svc::kStopped:
                status = StatusOf(*s);
                return svc::Error(svc::kServiceNotActive);
            case svc::kStartPending:
            case svc::kStopPending:
                status = StatusOf(*s);
                return svc::Error(svc::kServiceCannotAcceptCtrl);
            default:
                break;
        }
        if (s->stopAfterMs == 0) {
            s->state = svc::kStopped;
        } else {
            s->state = svc::kStopPending;
            s->stopping = s->stopAfterMs > 0;
            s->stopsAt = m_.NowMs() + static_cast<std::uint64_t>(std::max(s->stopAfterMs, 0));
        }
        status = StatusOf(*s);
        return {};
    }

private:
    ServiceStatus StatusOf(FakeServiceManager::Service& s) {
        ServiceStatus st;
        st.serviceType = s.type;
        st.currentState = m_.StateOf(s);
        st.controlsAccepted = st.currentState == svc::kRunning ? 1 : 0;
        return st;
    }
    FakeServiceManager& m_;
    std::string name_;
    std::uint32_t access_;
};

class FakeManager : public ServiceManagerHandle {
public:
    FakeManager(FakeServiceManager& m, std::uint32_t access) : m_(m), access_(access) { ++m_.liveHandles; }
    ~FakeManager() override { --m_.liveHandles; }

    std::error_code Enumerate(std::uint32_t types, std::uint32_t states, std::vector<ServiceEntry>& out) override {
        ++m_.enumerations;
        if (!(access_ & svc::kManagerEnumerateService)) return svc::Error(svc::kAccessDenied);
        if (m_.enumerateError) return svc::Error(m_.enumerateError);
        std::vector<ServiceEntry> found;
        for (auto& s : m_.services) {
            if (!(s.type & types)) continue;
            std::uint32_t state = m_.StateOf(s);
            bool active = state != svc::kStopped;
            if (!((active && (states & 1)) || (!active && (states & 2)))) continue;
            ServiceEntry e{s.name, s.displayName, {}};
            e.status.serviceType = s.type;
            e.status.currentState = state;
            found.push_back(e);
        }
        out = std::move(found);
        return {};
    }

    std::unique_ptr<ServiceHandle> OpenByName(const std::string& name, std::uint32_t access,
                                               std::error_code& error) override {
        m_.serviceOpens.push_back({name, access});
        auto* s = m_.Find(name);
        if (name.empty()) error = svc::Error(svc::kInvalidName);
        else if (!s) error = svc::Error(svc::kServiceDoesNotExist);
        else if (s->openError) error = svc::Error(s->openError);
        else if (access & ~s->grantedAccess) error = svc::Error(svc::kAccessDenied);
        else {
            error.clear();
            return std::make_unique<FakeService>(m_, s->name, access);
        }
        return nullptr;
    }

private:
    FakeServiceManager& m_;
    std::uint32_t access_;
};

}  // namespace

FakeServiceManager::Service& FakeServiceManager::Add(const std::string& name, const std::string& displayName,
                                                     std::uint32_t state) {
    Service s;
    s.name = name;
    s.displayName = displayName;
    s.state = state;
    s.grantedAccess = newServiceAccess;
    services.push_back(s);
    return services.back();
}

FakeServiceManager::Service* FakeServiceManager::Find(const std::string& name) {
    for (auto& s : services)
        if (SameKey(s.name, name)) return &s;
    return nullptr;
}

std::uint64_t FakeServiceManager::NowMs() const { return clock_ ? clock_->Milliseconds() : 0; }

std::uint32_t FakeServiceManager::StateOf(Service& s) {
    if (s.state == svc::kStopPending && s.stopping && NowMs() >= s.stopsAt) {
        s.state = svc::kStopped;
        s.stopping = false;
    }
    return s.state;
}

std::unique_ptr<ServiceManagerHandle> FakeServiceManager::Open(const std::string& machine, std::uint32_t access,
                                                               std::error_code& error) {
    managerOpens.push_back({machine, access});
    if (openError || (access & ~grantedAccess)) {
        error = svc::Error(openError ? openError : svc::kAccessDenied);
        return nullptr;
    }
    error.clear();
    return std::make_unique<FakeManager>(*this, access);
}

void FakeServiceManager::AsStandardUser() {
    grantedAccess = kStandardUserManager;
    newServiceAccess = kStandardUserService;
    for (auto& s : services) s.grantedAccess = kStandardUserService;
}

}  // namespace platform::fake
