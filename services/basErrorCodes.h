#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// English texts of Win32 error codes, carried by the program rather than asked
// of the system, so that they read the same on every Windows and language.
namespace basErrorCodes {

struct ErrorText {
    std::int32_t code;
    std::string_view text;
};

// The text for a code, or "" for a code without an entry. Wide enough for an
// exit code taken as unsigned (0xC0000005 simply has no entry).
std::string GetErrorText(std::int64_t code);

// The text for a code, or "Error " and the code for one without an entry.
std::string Describe(std::int64_t code);

// The whole table, sorted by code.
std::span<const ErrorText> AllErrorTexts();

}  // namespace basErrorCodes
