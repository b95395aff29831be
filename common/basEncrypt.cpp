#include "common/basEncrypt.h"

namespace basEncrypt {

std::string Scramble(platform::Locale& locale, const std::string& text) {
    std::string bytes = locale.AnsiEncode(text);
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    return locale.AnsiDecode(bytes);
}

bool PasswordsMatch(platform::Locale& locale, const std::string& stored, const std::string& entered) {
    // The stored side went through the ANSI code page; the entry must too, or
    // a password with characters outside it could never match itself.
    return locale.Lower(stored) == locale.Lower(locale.AnsiDecode(locale.AnsiEncode(entered)));
}

}  // namespace basEncrypt
