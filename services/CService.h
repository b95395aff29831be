#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/service_manager.h"

// One Windows NT service: its key name, display name, state and a few fields
// of its configuration. The object keeps its connection to the service
// manager from Init until it goes.
class CService {
public:
    explicit CService(platform::ServiceManager& manager) : manager_(manager) {}

    // False, changing nothing, when the name is blank; false when the manager
    // of `server` ("" the local machine) cannot be opened. Otherwise keeps the
    // values, reads the configuration and returns true.
    bool Init(const std::string& server, const std::string& serviceName, const std::string& displayName,
              std::uint32_t state);

    void SetDisplayName(const std::string& text) { displayName_ = text; }
    const std::string& DisplayName() const { return displayName_; }
    void SetName(const std::string& text) { name_ = text; }
    const std::string& Name() const { return name_; }
    const std::string& Server() const { return server_; }
    const std::string& EXEName() const { return exeName_; }
    const std::string& StartUser() const { return startUser_; }
    std::uint32_t StartType() const { return startType_; }
    std::uint32_t ServiceType() const { return serviceType_; }
    std::uint32_t ErrorControl() const { return errorControl_; }
    // The start type as an English word; "" outside 0 to 4.
    std::string StartTypeString() const;
    // The state now, asked of the manager (the last known one if that fails).
    std::uint32_t Status();
    // The state now as an English word; "" outside 1 to 7.
    std::string StatusString();

private:
    void ReadConfig();
    bool RefreshStatus();

    platform::ServiceManager& manager_;
    std::unique_ptr<platform::ServiceManagerHandle> handle_;
    std::string name_;
    std::string displayName_;
    std::string server_;
    std::uint32_t status_ = 0;
    std::uint32_t serviceType_ = 0;
    std::uint32_t startType_ = 0;
    std::uint32_t errorControl_ = 0;
    std::string exeName_;
    std::string startUser_;
};
