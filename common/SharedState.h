#pragma once
#include <cstdint>

#include "common/basSettings.h"
#include "platform/registry.h"

namespace common {

// What both deliverables settle about the system when their main window
// loads, and every unit reads from there.
struct SharedState {
    // Root of every settings call.
    platform::RootKey SettingsRoot = platform::RootKey::None;
    // 1 Windows 95/98, 2 NT.
    std::int16_t WinPlatform = 0;
    // 1 Windows 95, 3 Windows 98 (and Me), 4 NT 4, 5 NT 5 and later; 0 otherwise.
    std::int16_t WinVer = 0;
    // The Windows language identifier that picks the language.
    std::uint16_t CountryCode = 0;
    // Seven one-character day initials, Sunday first.
    basSettings::DayInitialsT DayInitials{};
};

}  // namespace common
