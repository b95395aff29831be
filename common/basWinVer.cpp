#include "common/basWinVer.h"

namespace basWinVer {

void GetWinVer(platform::System& sys, common::SharedState& state) {
    platform::OsVersion v = sys.Version();
    std::int16_t& WinPlatform = state.WinPlatform;
    std::int16_t& WinVer = state.WinVer;
    WinPlatform = static_cast<std::int16_t>(v.platformId);
    WinVer = 0;
    if (v.major == 4) {
        if (v.platformId == 1) WinVer = v.minor == 0 ? 1 : 3;
        else if (v.platformId == 2) WinVer = 4;
    } else if (v.major > 4 && v.platformId == 2) {
        WinVer = 5;
    }
}

std::string SystemProgram(platform::System& sys, std::int16_t winPlatform, const std::string& file) {
    std::string folder = winPlatform == 1 ? sys.WindowsDirectory() : sys.SystemDirectory();
    folder = folder.substr(0, folder.find('\0'));
    if (folder.empty()) return {};
    if (folder.back() != '\\') folder += '\\';
    return "\"" + folder + file + "\"";
}

}  // namespace basWinVer
