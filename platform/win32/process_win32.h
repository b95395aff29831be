#pragma once
#include "platform/process.h"

namespace platform::win32 {

class Win32Processes : public Processes {
public:
    bool Start(const std::string& commandLine) override;
    bool StartIn(const std::string& commandLine, const std::string& folder) override;
    std::error_code StartShown(const std::string& commandLine, std::uint16_t showCode) override;
    std::unique_ptr<Process> Launch(const std::string& commandLine, std::error_code& error) override;
    std::unique_ptr<Process> Open(std::uint32_t processId, std::error_code& error) override;
};

}  // namespace platform::win32
