#include "common/basWinVer.h"

namespace basWinVer {

std::int16_t WinPlatform = 0;
std::int16_t WinVer = 0;

void GetWinVer(platform::System& sys) {
    platform::OsVersion v = sys.Version();
    WinPlatform = static_cast<std::int16_t>(v.platformId);
    WinVer = 0;
    if (v.major == 4) {
        if (v.platformId == 1) WinVer = v.minor == 0 ? 1 : 3;
        else if (v.platformId == 2) WinVer = 4;
    } else if (v.major > 4 && v.platformId == 2) {
        WinVer = 5;
    }
}

}  // namespace basWinVer
