#include "platform/fake/fake_registry.h"

#include <cctype>
#include <iterator>
#include <memory>

namespace platform::fake {

std::string FakeRegistry::Fold(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string FakeRegistry::NormalisePath(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return Fold(out);
}

std::string FakeRegistry::Id(RootKey root, const std::string& path) const {
    return std::to_string(static_cast<int>(root)) + ":" + NormalisePath(path);
}

FakeRegistry::KeyNode* FakeRegistry::Node(Key key) {
    auto h = handles_.find(key);
    if (h == handles_.end()) return nullptr;
    auto k = keys_.find(h->second);
    return k == keys_.end() ? nullptr : &k->second;
}

int FakeRegistry::Fault(Call call, const std::string& id, const std::string& name) const {
    return faultHook_ ? faultHook_(call, id.substr(id.find(':') + 1), name) : 0;
}

void FakeRegistry::Touch(const std::string& id) {
    // Ids are "root:path"; every prefix ending at a separator is an ancestor.
    for (size_t i = id.find(':') + 1; i <= id.size(); ++i) {
        if (i == id.size() || id[i] == '\\') ++changes_[id.substr(0, i)];
    }
}

class FakeWatch : public RegistryWatch {
public:
    FakeWatch(FakeRegistry& reg, std::string id) : reg_(reg), id_(std::move(id)) {}
    bool Changed() override {
        long now = reg_.changes_[id_];
        bool changed = !armed_ || now != seen_;
        armed_ = true;
        seen_ = now;
        return changed;
    }

private:
    FakeRegistry& reg_;
    std::string id_;
    bool armed_ = false;
    long seen_ = 0;
};

std::unique_ptr<RegistryWatch> FakeRegistry::Watch(RootKey root, const std::string& path) {
    return std::make_unique<FakeWatch>(*this, Id(root, path));
}

void FakeRegistry::DeleteKey(RootKey root, const std::string& path) {
    std::string id = Id(root, path);
    // A watch on a key below sees it go as well.
    for (auto& [watched, count] : changes_)
        if (watched.rfind(id + "\\", 0) == 0) ++count;
    for (auto it = keys_.begin(); it != keys_.end();) {
        bool below = it->first == id || it->first.rfind(id + "\\", 0) == 0;
        it = below ? keys_.erase(it) : std::next(it);
    }
    Touch(id);
}

namespace {

std::error_code Win32Status(int code) { return {code, std::system_category()}; }
constexpr int kInvalidHandle = 6, kAccessDenied = 5;

// Windows lets only administrators write the policy keys, and the programs
// run as a standard user.
bool IsPolicyPath(const std::string& id) {
    const std::string path = id.substr(id.find(':') + 1);
    const std::string policies = "software\\policies";
    return path.rfind(policies, 0) == 0 && (path.size() == policies.size() || path[policies.size()] == '\\');
}

}  // namespace

RegKey FakeRegistry::OpenKey(RootKey root, const std::string& path) {
    if (root == RootKey::None) return RegKey(Win32Status(kInvalidHandle));
    std::string id = Id(root, path);
    if (int status = Fault(Call::Open, id, "")) return RegKey(Win32Status(status));
    if (!NormalisePath(path).empty() && !keys_.count(id)) return RegKey(Win32Status(kErrorFileNotFound));
    keys_[id];  // a root always exists
    handles_[next_] = id;
    return RegKey(*this, next_++);
}

RegKey FakeRegistry::CreateKey(RootKey root, const std::string& path) {
    if (root == RootKey::None) return RegKey(Win32Status(kInvalidHandle));
    if (failWrites_ || (!planting_ && IsPolicyPath(Id(root, path)))) return RegKey(Win32Status(kAccessDenied));
    if (int status = Fault(Call::Create, Id(root, path), "")) return RegKey(Win32Status(status));
    // Every key along the path comes into being, as RegCreateKey does.
    std::string norm = NormalisePath(path);
    for (size_t i = 0; i <= norm.size(); ++i) {
        if (i != norm.size() && norm[i] != '\\') continue;
        std::string id = Id(root, norm.substr(0, i));
        if (!keys_.count(id)) {
            keys_[id];
            Touch(id);
        }
    }
    handles_[next_] = Id(root, path);
    return RegKey(*this, next_++);
}

std::error_code FakeRegistry::Query(const RegKey& key, const std::string& name, RegData& out) {
    ++queries_;
    KeyNode* node = Node(key.native());
    if (!node) return key.status() ? key.status() : Win32Status(kInvalidHandle);
    auto failing = failReads_.find(Fold(name));
    if (failing != failReads_.end() && failing->second) return Win32Status(failing->second);
    if (int status = Fault(Call::Query, handles_[key.native()], name)) return Win32Status(status);
    auto v = node->values.find(Fold(name));
    if (v == node->values.end()) return Win32Status(kErrorFileNotFound);
    out = v->second.data;
    return {};
}

std::error_code FakeRegistry::SetValue(const RegKey& key, const std::string& name, const RegData& value) {
    KeyNode* node = Node(key.native());
    if (!node) return Win32Status(kInvalidHandle);
    if (failWrites_ || (!planting_ && IsPolicyPath(handles_[key.native()]))) return Win32Status(kAccessDenied);
    if (int status = Fault(Call::Set, handles_[key.native()], name)) return Win32Status(status);
    auto& slot = node->values[Fold(name)];
    if (slot.name.empty()) slot.name = name;
    slot.data = value;
    Touch(handles_[key.native()]);
    return {};
}

std::error_code FakeRegistry::DeleteValue(const RegKey& key, const std::string& name) {
    KeyNode* node = Node(key.native());
    if (!node) return Win32Status(kInvalidHandle);
    if (failWrites_ || IsPolicyPath(handles_[key.native()])) return Win32Status(kAccessDenied);
    if (int status = Fault(Call::Delete, handles_[key.native()], name)) return Win32Status(status);
    if (node->values.erase(Fold(name)) == 0) return Win32Status(kErrorFileNotFound);
    Touch(handles_[key.native()]);
    return {};
}

void FakeRegistry::CloseKey(std::uintptr_t handle) noexcept { handles_.erase(handle); }

void FakeRegistry::Plant(RootKey root, const std::string& path, const std::string& name,
                         RegData value) {
    bool saved = failWrites_;
    FaultHook hook = std::move(faultHook_);
    failWrites_ = false;
    faultHook_ = nullptr;
    planting_ = true;
    SetValue(CreateKey(root, path), name, value);
    planting_ = false;
    failWrites_ = saved;
    faultHook_ = std::move(hook);
}

void FakeRegistry::PlantString(RootKey root, const std::string& path, const std::string& name,
                               const std::string& text) {
    Plant(root, path, name, RegData{kRegSz, text});
}

std::optional<RegData> FakeRegistry::Peek(RootKey root, const std::string& path,
                                          const std::string& name) const {
    auto k = keys_.find(Id(root, path));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.values.find(Fold(name));
    if (v == k->second.values.end()) return std::nullopt;
    return v->second.data;
}

bool FakeRegistry::KeyExists(RootKey root, const std::string& path) const {
    return keys_.count(Id(root, path)) > 0;
}

}  // namespace platform::fake
