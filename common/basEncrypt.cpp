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
    return locale.AnsiDecode(bytes) == password;
}

bool PasswordsMatch(platform::Locale& locale, const std::string& stored, const std::string& entered) {
    return locale.Lower(stored) == locale.Lower(entered);
}

}  // namespace basEncrypt
