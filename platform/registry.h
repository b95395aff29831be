#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// The predefined root keys the system touches.
enum class RootKey : int { None = 0, CurrentUser, LocalMachine };

// Registry value types, as Windows numbers them.
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

// A stored value. For the string types `data` is the UTF-8 form of every
// stored character, embedded and trailing NULs included; for other types it
// holds the raw bytes.
struct RegData {
    std::uint32_t type = kRegNone;
    std::string data;
};

// Tells a reader whether what it read from a key can still be trusted.
class RegistryWatch {
public:
    virtual ~RegistryWatch() = default;
    // True on the first call, and afterwards whenever a value of the key or of
    // a key below it may have changed since the previous call, or the key was
    // created or deleted. Also true on every call while the key cannot be
    // watched (it is missing, or the system refuses): a false answer is a
    // promise, a true one only a hint.
    virtual bool Changed() = 0;
};

class Registry {
public:
    using Key = std::uintptr_t;  // 0 is no key
    virtual ~Registry() = default;

    // Opens an existing key for reading; 0 when it does not exist.
    virtual Key OpenKey(RootKey root, const std::string& path) = 0;
    // Opens the key, creating every missing key of the path; 0 on failure.
    virtual Key CreateKey(RootKey root, const std::string& path) = 0;
    virtual std::optional<RegData> QueryValue(Key key, const std::string& name) = 0;
    virtual bool SetValue(Key key, const std::string& name, const RegData& value) = 0;
    virtual bool DeleteValue(Key key, const std::string& name) = 0;
    virtual void CloseKey(Key key) = 0;
    // Starts watching a key, which need not exist yet.
    virtual std::unique_ptr<RegistryWatch> Watch(RootKey root, const std::string& path) = 0;
};

}  // namespace platform
