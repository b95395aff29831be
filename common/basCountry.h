#pragma once
#include <cstdint>
#include <string>

#include "common/basSettings.h"
#include "common/basText.h"
#include "platform/system.h"

// The language the system speaks, and the day initials of the user's locale.
namespace basCountry {

// The Windows language identifier that picks the language.
extern std::uint16_t CountryCode;
// Seven one-character day initials, Sunday first.
extern basSettings::DayInitialsT DayInitials;

using basText::Language;

// Only the exact identifiers 1034/3082, 1031, 1040 and 1036 leave English.
inline Language LanguageOf(std::uint16_t code) { return basText::LanguageOf(code); }
inline Language CurrentLanguage() { return LanguageOf(CountryCode); }

// The language of the installed Windows, from the translation table of the
// system folder's "user.exe"; where that file has no version information,
// the system's default user-interface language.
std::uint16_t GetWindowsLanguage(platform::System& sys);
// The same walk on any file's version resource.
std::uint16_t LanguageOfFile(platform::System& sys, const std::string& path);

// Thursday gets "H": the applet when the locale's name for it is exactly
// "Thursday", the daemon when CountryCode is 1033.
enum class ThursdayRule { DayName, CountryCode };
void BuildDayInitials(platform::System& sys, ThursdayRule rule);

// The first character (not byte) of UTF-8 text.
std::string FirstCharacter(const std::string& utf8);

}  // namespace basCountry
