#pragma once
#include <cstdint>
#include <string>

#include "common/SharedState.h"
#include "platform/system.h"

// Which Windows this is.
namespace basWinVer {

// Sets WinPlatform and WinVer.
void GetWinVer(platform::System& sys, common::SharedState& state);

// One of Windows' own programs by its full path, quoted: the system folder
// on NT, the Windows folder on 95/98 (`winPlatform` 1). Started by its bare
// name, a copy in the starting program's folder or the current directory
// would run instead. "" when the system names no folder.
std::string SystemProgram(platform::System& sys, std::int16_t winPlatform, const std::string& file);

}  // namespace basWinVer
