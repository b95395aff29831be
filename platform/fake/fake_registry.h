#pragma once
#include <functional>
#include <map>
#include <string>

#include "platform/registry.h"

namespace platform::fake {

// In-memory registry: keys and value names match without regard to letter
// case, values keep their types, handles must be closed. Writes under
// Software\Policies are refused, as Windows refuses them to a standard user;
// tests plant policy values.
class FakeRegistry : public Registry {
public:
    RegKey OpenKey(RootKey root, const std::string& path) override;
    RegKey CreateKey(RootKey root, const std::string& path) override;
    std::error_code Query(const RegKey& key, const std::string& name, RegData& out) override;
    std::error_code SetValue(const RegKey& key, const std::string& name, const RegData& value) override;
    std::error_code DeleteValue(const RegKey& key, const std::string& name) override;
    std::unique_ptr<RegistryWatch> Watch(RootKey root, const std::string& path) override;

    // Test helpers working on paths directly.
    void Plant(RootKey root, const std::string& path, const std::string& name, RegData value);
    void PlantString(RootKey root, const std::string& path, const std::string& name,
                     const std::string& text);
    std::optional<RegData> Peek(RootKey root, const std::string& path,
                                const std::string& name) const;
    bool KeyExists(RootKey root, const std::string& path) const;
    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    void FailWrites(bool fail) { failWrites_ = fail; }
    // Reads of this value name fail with a status other than "missing"
    // (a transient failure), until cleared with 0.
    void FailReads(const std::string& name, int win32Status) { failReads_[Fold(name)] = win32Status; }
    // Any other fault: asked before every call with the key's path (lower
    // case, single backslashes) and the value's name ("" for opening and
    // creating); a non-zero Win32 status fails that call with it. The hook
    // keeps its own counts, so a failure can pass.
    enum class Call { Open, Create, Query, Set, Delete };
    using FaultHook = std::function<int(Call call, const std::string& path, const std::string& name)>;
    void InjectFaults(FaultHook hook) { faultHook_ = std::move(hook); }
    // Removes a key with its values and the keys below it.
    void DeleteKey(RootKey root, const std::string& path);
    // Value reads so far, to tell whether a reader kept what it had read.
    int Queries() const { return queries_; }

protected:
    void CloseKey(std::uintptr_t handle) noexcept override;

private:
    using Key = std::uintptr_t;
    struct Value {
        std::string name;  // as first written
        RegData data;
    };
    struct KeyNode {
        std::map<std::string, Value> values;  // by folded name
    };
    static std::string Fold(const std::string& s);
    static std::string NormalisePath(const std::string& path);
    std::string Id(RootKey root, const std::string& path) const;
    KeyNode* Node(Key key);
    int Fault(Call call, const std::string& id, const std::string& name) const;
    // Counts a change of the key and of every key above it.
    void Touch(const std::string& id);
    friend class FakeWatch;

    std::map<std::string, KeyNode> keys_;    // by root and folded path
    std::map<Key, std::string> handles_;     // open handle to key id
    Key next_ = 0x100;
    bool failWrites_ = false;
    bool planting_ = false;  // a test's own value, where the programs may not write
    int queries_ = 0;
    std::map<std::string, int> failReads_;
    FaultHook faultHook_;
    std::map<std::string, long> changes_;  // by key id: changes at or below it
};

}  // namespace platform::fake
