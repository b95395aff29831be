#pragma once
#include "common/SharedState.h"
#include "platform/system.h"

// Which Windows this is.
namespace basWinVer {

// Sets WinPlatform and WinVer.
void GetWinVer(platform::System& sys, common::SharedState& state);

}  // namespace basWinVer
