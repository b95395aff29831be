#include "common/basEncrypt.h"

namespace basEncrypt {

std::string Scramble(platform::Locale& locale, const std::string& text) {
    std::string bytes = locale.AnsiEncode(text);
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    return locale.AnsiDecode(bytes);
}

bool CanStore(platform::Locale& locale, const std::string& password) {
    std::string bytes = locale.AnsiEncode(password);
    if (bytes.find('\xFF') != std::string::npos) return false;
    if (locale.AnsiDecode(bytes) != password) return false;
    // In a double-byte code page the inverted bytes need not be text the code
    // page gives back byte for byte; such a password would never match again.
    return Unscramble(locale, Scramble(locale, password)) == password;
}

bool PasswordsMatch(platform::Locale& locale, const std::string& stored, const std::string& entered) {
    // The stored side went through the ANSI code page; the entry must too, or
    // a password with characters outside it could never match itself. Both
    // go, so that two entries compare as they would be stored.
    auto asStored = [&locale](const std::string& s) { return locale.Lower(locale.AnsiDecode(locale.AnsiEncode(s))); };
    return asStored(stored) == asStored(entered);
}

std::optional<std::string> StoredPassword(platform::Locale& locale, const basSettings::Store& store) {
    const basSettings::Store fresh = store.Fresh();
    std::string scrambled = fresh.Read(basSettings::Admin);
    if (!fresh.Readable(basSettings::Admin.name)) return std::nullopt;
    return Unscramble(locale, scrambled);
}

}  // namespace basEncrypt
