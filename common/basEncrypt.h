#pragma once
#include <optional>
#include <string>

#include "common/basSettings.h"
#include "platform/text_locale.h"

// The settings password is stored with every ANSI byte inverted.
namespace basEncrypt {

// Each ANSI byte c of the text becomes c XOR 255; its own inverse.
std::string Scramble(platform::Locale& locale, const std::string& text);
inline std::string Unscramble(platform::Locale& locale, const std::string& scrambled) {
    return Scramble(locale, scrambled);
}

// Whether the stored form gives `password` back unchanged: a character
// outside the ANSI code page would come back as "?", one whose code is 255
// scrambles to a NUL byte, which cuts the stored value, and in a double-byte
// code page the inverted bytes may not read back as themselves.
bool CanStore(platform::Locale& locale, const std::string& password);

// Passwords compare without regard to letter case, the entry taken through
// the ANSI code page as the stored one was.
bool PasswordsMatch(platform::Locale& locale, const std::string& stored, const std::string& entered);

// The stored password, unscrambled ("" when none is set); nothing when a
// value is there but cannot be read, which both deliverables treat as a
// password they cannot check: locked.
std::optional<std::string> StoredPassword(platform::Locale& locale, const basSettings::Store& store);

}  // namespace basEncrypt
