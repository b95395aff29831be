#include "platform/fake/fake_locale.h"

namespace platform::fake {

std::string FakeLocale::AnsiEncode(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if ((c >> 5) == 6 && i + 1 < utf8.size()) {
            unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            out += cp < 0x100 ? static_cast<char>(cp) : '?';
            i += 2;
        } else {
            out += '?';
            i += (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        }
    }
    return out;
}

std::string FakeLocale::AnsiDecode(const std::string& ansi) {
    std::string out;
    for (unsigned char c : ansi) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string FakeLocale::Lower(const std::string& utf8) {
    std::string bytes = AnsiEncode(utf8);
    for (char& ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) ch = static_cast<char>(c + 32);
    }
    return AnsiDecode(bytes);
}

}  // namespace platform::fake
