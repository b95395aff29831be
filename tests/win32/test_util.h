#pragma once
#include <string>

namespace testutil {

// The folder of the running test program, ending in a backslash.
std::string ProgramFolder();

// A registry path under HKEY_CURRENT_USER unique to this test run; removed
// with everything below it when the object goes.
class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace testutil
