#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

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
// stored character, embedded and trailing NULs included (an unpaired
// surrogate reads as U+FFFD; an odd last byte, half a character, is dropped);
// for other types it holds the raw bytes.
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
    // created or deleted. A missing key is watched for its coming (at the
    // nearest key above it that is there); one the system refuses to watch
    // answers true on every call: a false answer is a promise, a true one
    // only a hint.
    virtual bool Changed() = 0;
};

class Registry;

// An open key. It closes itself and cannot be copied; one that failed to
// open is false and keeps the system's reason.
class RegKey {
public:
    RegKey() = default;
    RegKey(Registry& owner, std::uintptr_t handle) : owner_(&owner), handle_(handle) {}
    explicit RegKey(std::error_code failure) : status_(failure) {}
    RegKey(RegKey&& other) noexcept { *this = std::move(other); }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Close(); }

    explicit operator bool() const { return handle_ != 0; }
    std::uintptr_t native() const { return handle_; }
    // Why the key is not open; clear for an open key.
    std::error_code status() const { return status_; }
    void Close() noexcept;

private:
    Registry* owner_ = nullptr;
    std::uintptr_t handle_ = 0;
    std::error_code status_;
};

// Win32 statuses the callers act on.
inline constexpr int kErrorFileNotFound = 2;
inline bool IsMissing(std::error_code ec) { return ec.value() == kErrorFileNotFound; }

class Registry {
public:
    virtual ~Registry() = default;

    // Opens an existing key for reading.
    virtual RegKey OpenKey(RootKey root, const std::string& path) = 0;
    // Opens the key, creating every missing key of the path.
    virtual RegKey CreateKey(RootKey root, const std::string& path) = 0;
    // Reads a value whole into `out`; the Win32 status otherwise (a missing
    // value or key is kErrorFileNotFound, anything else a real failure).
    virtual std::error_code Query(const RegKey& key, const std::string& name, RegData& out) = 0;
    virtual std::error_code SetValue(const RegKey& key, const std::string& name, const RegData& value) = 0;
    virtual std::error_code DeleteValue(const RegKey& key, const std::string& name) = 0;
    // Starts watching a key, which need not exist yet.
    virtual std::unique_ptr<RegistryWatch> Watch(RootKey root, const std::string& path) = 0;

    // The value, or nothing for any failure.
    std::optional<RegData> QueryValue(const RegKey& key, const std::string& name) {
        RegData out;
        if (Query(key, name, out)) return std::nullopt;
        return out;
    }

protected:
    friend class RegKey;
    virtual void CloseKey(std::uintptr_t handle) noexcept = 0;
};

inline void RegKey::Close() noexcept {
    if (owner_ && handle_) owner_->CloseKey(handle_);
    owner_ = nullptr;
    handle_ = 0;
}

inline RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        owner_ = other.owner_;
        handle_ = other.handle_;
        status_ = other.status_;
        other.owner_ = nullptr;
        other.handle_ = 0;
    }
    return *this;
}

}  // namespace platform
