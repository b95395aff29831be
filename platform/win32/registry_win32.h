#pragma once
#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
public:
    Key OpenKey(RootKey root, const std::string& path) override;
    Key CreateKey(RootKey root, const std::string& path) override;
    std::optional<RegData> QueryValue(Key key, const std::string& name) override;
    bool SetValue(Key key, const std::string& name, const RegData& value) override;
    bool DeleteValue(Key key, const std::string& name) override;
    void CloseKey(Key key) override;
    std::unique_ptr<RegistryWatch> Watch(RootKey root, const std::string& path) override;
};

}  // namespace platform::win32
