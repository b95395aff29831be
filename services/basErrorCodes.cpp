#include "services/basErrorCodes.h"

#include <algorithm>
#include <iterator>

namespace basErrorCodes {
namespace {

// Entries are "..."sv, so a text's length is its literal's, not strlen's.
using namespace std::string_view_literals;

constexpr ErrorText kTable[] = {
#include "error_texts_table.inc"
};

// A hand edit that breaks the order would make the search miss entries.
constexpr bool StrictlyAscending() {
    for (std::size_t i = 1; i < std::size(kTable); ++i)
        if (kTable[i - 1].code >= kTable[i].code) return false;
    return true;
}
static_assert(StrictlyAscending(), "error_texts_table.inc must be sorted by code, no repeats");
static_assert(kTable[0].code >= 0, "codes are never negative");

}  // namespace

std::string GetErrorText(std::int64_t code) {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), code,
                               [](const ErrorText& e, std::int64_t c) { return e.code < c; });
    if (it == std::end(kTable) || it->code != code) return {};
    return std::string(it->text);
}

std::string Describe(std::int64_t code) {
    std::string text = GetErrorText(code);
    return text.empty() ? "Error " + std::to_string(code) : text;
}

std::span<const ErrorText> AllErrorTexts() { return kTable; }

}  // namespace basErrorCodes
