#pragma once
#include <cstdint>

#include "platform/system.h"

// Which Windows this is.
namespace basWinVer {

// 1 Windows 95/98, 2 NT.
extern std::int16_t WinPlatform;
// 1 Windows 95, 3 Windows 98 (and Me), 4 NT 4, 5 NT 5 and later; 0 otherwise.
extern std::int16_t WinVer;

void GetWinVer(platform::System& sys);

}  // namespace basWinVer
