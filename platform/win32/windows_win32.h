#pragma once
#include "platform/window_manager.h"

namespace platform::win32 {

class Win32WindowManager : public WindowManager {
public:
    Handle Find(const std::string& className, const std::string& title) override;
    bool PostClose(Handle window) override;
    std::optional<std::intptr_t> SendClose(Handle window, std::uint32_t milliseconds) override;
    std::string Text(Handle window) override;
    std::string ClassName(Handle window) override;
    std::uint32_t ProcessOf(Handle window) override;
    bool Exists(Handle window) override;
    void BringToFront(Handle window) override;
};

}  // namespace platform::win32
