#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Every localized text of the product has one shape: a row per control or
// message, the English design text and what each language puts instead.
namespace basText {

enum class Language { English, Spanish, German, Italian, French, Danish, Dutch };

// Which languages a table speaks beyond English. Only the daemon's copy of
// the system's own dialog carries Danish and Dutch; everything else falls
// back to English for them.
enum class Reach { FiveLanguages, WithDanishAndDutch };

// The language of a Windows language identifier: exactly 1034 or 3082
// Spanish, 1031 German, 1040 Italian, 1036 French (and, with the wider
// reach, 1030 Danish and 1043 Dutch); anything else English.
Language LanguageOf(std::uint16_t code, Reach reach = Reach::FiveLanguages);

// One row. nullptr keeps the English text; "" is an empty text of its own.
struct Entry {
    const char* key;
    const char* en;
    const char* es = nullptr;
    const char* de = nullptr;
    const char* it = nullptr;
    const char* fr = nullptr;
    const char* da = nullptr;
    const char* nl = nullptr;
};
using Table = std::span<const Entry>;

// The text of `key` in `language`. A key the table lacks is a programming
// error and throws std::logic_error.
std::string Get(Table table, std::string_view key, Language language);
// Only what the language itself puts there (English has the design text);
// nothing where the control keeps the text its template gives it.
std::optional<std::string> Own(Table table, std::string_view key, Language language);

}  // namespace basText
