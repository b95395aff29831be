#pragma once
#include <string>

namespace platform {

// Starting other programs.
class Processes {
public:
    virtual ~Processes() = default;
    // Starts a command line in a normal window without waiting; false when
    // it could not start.
    virtual bool Start(const std::string& commandLine) = 0;
};

}  // namespace platform
