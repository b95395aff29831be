#include "common/basRegistry.h"

namespace basRegistry {

RootKey SettingsRoot = RootKey::None;

std::optional<std::string> QueryStringValue(Registry& reg, Registry::Key key,
                                            const std::string& name, bool strip, Flavor flavor) {
    auto value = reg.QueryValue(key, name);
    if (!value) return std::nullopt;
    bool readable = value->type == platform::kRegSz ||
                    (flavor == Flavor::Applet && value->type == platform::kRegMultiSz);
    if (!readable) return std::nullopt;
    if (flavor == Flavor::Daemon || strip) return StripTerminator(value->data);
    return value->data;
}

std::optional<std::string> ReadOptional(Registry& reg, RootKey root, const std::string& path,
                                        const std::string& name, bool strip, Flavor flavor) {
    Registry::Key key = reg.OpenKey(root, path);
    auto out = QueryStringValue(reg, key, name, strip, flavor);
    reg.CloseKey(key);
    return out;
}

std::string ReadValue(Registry& reg, RootKey root, const std::string& path,
                      const std::string& name, const std::string& def, bool strip,
                      Flavor flavor) {
    return ReadOptional(reg, root, path, name, strip, flavor).value_or(def);
}

std::string StripTerminator(const std::string& s) {
    auto p = s.find('\0');
    return p == std::string::npos ? s : s.substr(0, p);
}

void SaveString(Registry& reg, RootKey root, const std::string& path, const std::string& name,
                const std::string& text) {
    Registry::Key key = reg.CreateKey(root, path);
    reg.SetValue(key, name, {platform::kRegSz, text});
    reg.CloseKey(key);
}

}  // namespace basRegistry
