#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Other programs' top-level windows.
class WindowManager {
public:
    using Handle = std::uintptr_t;  // 0 is none
    virtual ~WindowManager() = default;
    // FindWindow: by class name, by title, or both ("" leaves one out).
    virtual Handle Find(const std::string& className, const std::string& title) = 0;
    // Posts WM_CLOSE; false when the window does not take it.
    virtual bool PostClose(Handle window) = 0;
};

}  // namespace platform
