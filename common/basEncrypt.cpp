#include "common/basEncrypt.h"

namespace basEncrypt {

std::string Scramble(platform::Locale& locale, const std::string& text) {
    std::string bytes = locale.AnsiEncode(text);
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    return locale.AnsiDecode(bytes);
}

bool PasswordsMatch(platform::Locale& locale, const std::string& stored, const std::string& entered) {
    return locale.Lower(stored) == locale.Lower(entered);
}

}  // namespace basEncrypt
