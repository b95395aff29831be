#pragma once
#include <optional>
#include <string>
#include <system_error>

#include "platform/registry.h"

// Reading and writing the settings as registry strings.
namespace basRegistry {

using platform::Registry;
using platform::RootKey;

// Which deliverable's reading rules apply: the applet also reads
// multi-strings and may keep them unstripped; the daemon reads REG_SZ only.
enum class Flavor { Applet, Daemon };

// Win32 status of a value whose type this flavour does not read.
inline constexpr int kErrorUnsupportedType = 1630;

// The string held by an open key's value into `out`; otherwise the status:
// missing (platform::IsMissing), a type this flavour does not read
// (kErrorUnsupportedType), or the system's reason.
std::error_code QueryString(Registry& reg, const platform::RegKey& key, const std::string& name,
                            std::string& out, bool strip = true, Flavor flavor = Flavor::Applet);

// The same, nothing for any failure.
std::optional<std::string> QueryStringValue(Registry& reg, const platform::RegKey& key,
                                            const std::string& name, bool strip = true,
                                            Flavor flavor = Flavor::Applet);

// The value's string, or nothing. An existing empty value is "" (not nothing).
std::optional<std::string> ReadOptional(Registry& reg, RootKey root, const std::string& path,
                                        const std::string& name, bool strip = true,
                                        Flavor flavor = Flavor::Applet);

// The value's string, else `def`.
std::string ReadValue(Registry& reg, RootKey root, const std::string& path,
                      const std::string& name, const std::string& def, bool strip = true,
                      Flavor flavor = Flavor::Applet);

// `s` cut before its first NUL.
std::string StripTerminator(const std::string& s);

// Writes `text` as REG_SZ without terminator, creating the key path. Silent.
void SaveString(Registry& reg, RootKey root, const std::string& path, const std::string& name,
                const std::string& text);
// The same, with the status of the step that failed.
std::error_code TrySaveString(Registry& reg, RootKey root, const std::string& path, const std::string& name,
                              const std::string& text);

}  // namespace basRegistry
