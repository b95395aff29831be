#pragma once
#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
public:
    RegKey OpenKey(RootKey root, const std::string& path) override;
    RegKey CreateKey(RootKey root, const std::string& path) override;
    std::error_code Query(const RegKey& key, const std::string& name, RegData& out) override;
    std::error_code SetValue(const RegKey& key, const std::string& name, const RegData& value) override;
    std::error_code DeleteValue(const RegKey& key, const std::string& name) override;
    std::unique_ptr<RegistryWatch> Watch(RootKey root, const std::string& path) override;

protected:
    void CloseKey(std::uintptr_t handle) noexcept override;
};

}  // namespace platform::win32
