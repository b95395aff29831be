#include "common/basRegistry.h"

namespace basRegistry {

std::error_code QueryString(Registry& reg, const platform::RegKey& key, const std::string& name,
                            std::string& out, bool strip, Flavor flavor) {
    platform::RegData value;
    if (auto ec = reg.Query(key, name, value)) return ec;
    bool readable = value.type == platform::kRegSz ||
                    (flavor == Flavor::Applet && value.type == platform::kRegMultiSz);
    if (!readable) return {kErrorUnsupportedType, std::system_category()};
    out = (flavor == Flavor::Daemon || strip) ? StripTerminator(value.data) : value.data;
    return {};
}

std::optional<std::string> QueryStringValue(Registry& reg, const platform::RegKey& key,
                                            const std::string& name, bool strip, Flavor flavor) {
    std::string out;
    if (QueryString(reg, key, name, out, strip, flavor)) return std::nullopt;
    return out;
}

std::optional<std::string> ReadOptional(Registry& reg, RootKey root, const std::string& path,
                                        const std::string& name, bool strip, Flavor flavor) {
    return QueryStringValue(reg, reg.OpenKey(root, path), name, strip, flavor);
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
    (void)TrySaveString(reg, root, path, name, text);
}

std::error_code TrySaveString(Registry& reg, RootKey root, const std::string& path, const std::string& name,
                              const std::string& text) {
    platform::RegKey key = reg.CreateKey(root, path);
    if (!key) return key.status() ? key.status() : std::error_code(1, std::system_category());
    return reg.SetValue(key, name, {platform::kRegSz, text});
}

}  // namespace basRegistry
