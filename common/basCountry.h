#pragma once
#include <cstdint>
#include <string>

#include "common/SharedState.h"
#include "common/basSettings.h"
#include "common/basText.h"
#include "platform/system.h"

// The language the system speaks, and the day initials of the user's locale.
namespace basCountry {

using basText::Language;

// Only the exact identifiers 1034/3082, 1031, 1040 and 1036 leave English.
inline Language LanguageOf(std::uint16_t code) { return basText::LanguageOf(code); }


// The language of the installed Windows, from the translation table of the
// system folder's "user.exe"; where that file has no version information,
// the system's default user-interface language.
std::uint16_t GetWindowsLanguage(platform::System& sys);
// The same walk on any file's version resource.
std::uint16_t LanguageOfFile(platform::System& sys, const std::string& path);

// Thursday gets "H": the applet when the locale's name for it is exactly
// "Thursday", the daemon when CountryCode is 1033.
enum class ThursdayRule { DayName, CountryCode };
// Sets DayInitials.
void BuildDayInitials(platform::System& sys, ThursdayRule rule, common::SharedState& state);

// The first character (not byte) of UTF-8 text.
std::string FirstCharacter(const std::string& utf8);

}  // namespace basCountry
