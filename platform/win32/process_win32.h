#pragma once
#include "platform/process.h"

namespace platform::win32 {

class Win32Processes : public Processes {
public:
    bool Start(const std::string& commandLine) override;
    std::unique_ptr<Process> Launch(const std::string& commandLine, std::error_code& error) override;
};

}  // namespace platform::win32
