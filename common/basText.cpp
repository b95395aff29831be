#include "common/basText.h"

#include <stdexcept>

namespace basText {

Language LanguageOf(std::uint16_t code, Reach reach) {
    switch (code) {
        case 1034:
        case 3082: return Language::Spanish;
        case 1031: return Language::German;
        case 1040: return Language::Italian;
        case 1036: return Language::French;
        case 1030: return reach == Reach::WithDanishAndDutch ? Language::Danish : Language::English;
        case 1043: return reach == Reach::WithDanishAndDutch ? Language::Dutch : Language::English;
        default: return Language::English;
    }
}

namespace {

const Entry& Row(Table table, std::string_view key) {
    for (const Entry& e : table)
        if (key == e.key) return e;
    throw std::logic_error("no text " + std::string(key));
}

const char* OwnText(const Entry& e, Language language) {
    switch (language) {
        case Language::Spanish: return e.es;
        case Language::German: return e.de;
        case Language::Italian: return e.it;
        case Language::French: return e.fr;
        case Language::Danish: return e.da;
        case Language::Dutch: return e.nl;
        case Language::English: break;
    }
    return e.en;
}

}  // namespace

std::string Get(Table table, std::string_view key, Language language) {
    const Entry& e = Row(table, key);
    const char* own = OwnText(e, language);
    return own ? own : e.en ? e.en : "";
}

std::optional<std::string> Own(Table table, std::string_view key, Language language) {
    const char* own = OwnText(Row(table, key), language);
    if (!own) return std::nullopt;
    return own;
}

}  // namespace basText
