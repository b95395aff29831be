#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: a failed property stops the run with a
// message (libFuzzer keeps the input as a crash), and the inputs' line form.
namespace fuzz {

// Bytes as a C string literal would show them, for the failure messages.
inline std::string Shown(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out + "\"";
}

// Capitals for a-z only: what every locale agrees on.
inline std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Well-formed UTF-8: what text inside is, and what the fakes' letter case
// is defined for.
inline bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

[[noreturn]] inline void Fail(const char* file, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: property failed: %s\n  %s\n", file, line, what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// The input split at '\n'; a last line without one counts.
inline std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> out;
    std::string_view all(reinterpret_cast<const char*>(data), size);
    while (!all.empty()) {
        std::size_t nl = all.find('\n');
        out.emplace_back(all.substr(0, nl));
        all = nl == std::string_view::npos ? std::string_view() : all.substr(nl + 1);
    }
    return out;
}

}  // namespace fuzz

#define FUZZ_CHECK(cond, detail)                                        \
    do {                                                                \
        if (!(cond)) ::fuzz::Fail(__FILE__, __LINE__, #cond, (detail)); \
    } while (0)
