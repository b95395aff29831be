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

// Full Unicode lower case, as the system's is, for the scripts tests use:
// Latin-1, Greek and Cyrillic.
std::string FakeLocale::Lower(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (len != 2 || i + 1 >= utf8.size()) {
            out += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c);
            if (len > 1) out += utf8.substr(i + 1, len - 1);
            i += len;
            continue;
        }
        unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) || (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) ||
            (cp >= 0x410 && cp <= 0x42F))
            cp += 0x20;
        else if (cp >= 0x400 && cp <= 0x40F)
            cp += 0x50;
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
        i += 2;
    }
    return out;
}

}  // namespace platform::fake
