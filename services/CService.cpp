#include "services/CService.h"

#include "services/basServices.h"

namespace svc = platform::svc;

bool CService::Init(const std::string& server, const std::string& serviceName, const std::string& displayName,
                    std::uint32_t state) {
    if (serviceName.find_first_not_of(' ') == std::string::npos) return false;
    server_ = server;
    name_ = serviceName;
    displayName_ = displayName;
    status_ = state;
    std::error_code error;
    handle_ = manager_.Open(server, svc::kManagerConnect, error);
    if (!handle_) return false;
    ReadConfig();
    return true;
}

void CService::ReadConfig() {
    std::error_code error;
    auto service = handle_->OpenByName(name_, svc::kQueryConfig, error);
    if (!service) return;
    // The whole configuration, however long its texts.
    platform::ServiceConfig config;
    if (service->QueryConfig(config)) return;
    serviceType_ = config.serviceType;
    startType_ = config.startType;
    errorControl_ = config.errorControl;
    exeName_ = config.binaryPath;
    startUser_ = config.startName;
}

bool CService::RefreshStatus() {
    if (!handle_) return false;
    std::error_code error;
    auto service = handle_->OpenByName(name_, svc::kQueryStatus, error);
    if (!service) return false;
    platform::ServiceStatus status;
    if (service->QueryStatus(status)) return false;
    status_ = status.currentState;
    return true;
}

std::uint32_t CService::Status() {
    RefreshStatus();
    return status_;
}

std::string CService::StatusString() {
    RefreshStatus();
    const auto& names = basServices::StatusNames;
    return status_ >= 1 && status_ <= names.size() ? std::string(names[status_ - 1]) : std::string();
}

std::string CService::StartTypeString() const {
    const auto& names = basServices::StartTypeNames;
    return startType_ < names.size() ? std::string(names[startType_]) : std::string();
}
