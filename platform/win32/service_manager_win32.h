#pragma once
#include <cstddef>

#include "platform/service_manager.h"

namespace platform::win32 {

// An owned SC_HANDLE (held as void*, so that this header needs no
// <windows.h>): move-only, closed with CloseServiceHandle when it goes.
class ScHandle {
public:
    ScHandle() = default;
    explicit ScHandle(void* handle);
    ScHandle(ScHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    ScHandle& operator=(ScHandle&& other) noexcept;
    ScHandle(const ScHandle&) = delete;
    ScHandle& operator=(const ScHandle&) = delete;
    ~ScHandle() { reset(); }

    void* get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Closes the handle held, if any.
    void reset();

    // Handles of this process held by ScHandle objects, for tests.
    static long Live();

private:
    void* handle_ = nullptr;
};

// The local or a remote service control manager, through the wide API.
class Win32ServiceManager : public ServiceManager {
public:
    // `firstEnumerationBytes`: the buffer of an enumeration's first call;
    // 0 asks the system first. Tests make it small to take the path that
    // repeats while the system reports more data.
    explicit Win32ServiceManager(std::size_t firstEnumerationBytes = 0) : firstEnumerationBytes_(firstEnumerationBytes) {}
    std::unique_ptr<ServiceManagerHandle> Open(const std::string& machine, std::uint32_t access,
                                               std::error_code& error) override;

private:
    std::size_t firstEnumerationBytes_;
};

}  // namespace platform::win32
