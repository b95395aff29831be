// Comma lists: every element followed by one ",", and text after the last
// comma an element too. A list read from any text and built again gives the
// text back, with a comma added after a trailing element; a list of
// elements built and read back is the same list. An element with a comma of its own has no
// stored form (there is no escape, and stored lists and the other
// deliverable read them as they are): the entry editor refuses such names,
// so only lists without one must come back whole.
#include <algorithm>

#include "common/basSettings.h"
#include "fuzz_check.h"

namespace S = basSettings;
using fuzz::Shown;

namespace {

std::string Joined(const std::vector<std::string>& v) {
    std::string out = "[";
    for (const auto& e : v) out += Shown(e) + " ";
    return out + "]";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Read from any text: one element per comma and one for text after the
    // last, none holding a comma; built again, the text with a comma after a
    // trailing element.
    auto parsed = S::ParseCommaList(text);
    bool trailing = !text.empty() && text.back() != ',';
    FUZZ_CHECK(parsed.size() == static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + (trailing ? 1 : 0),
               Shown(text) + " gave " + Joined(parsed));
    for (const auto& e : parsed) FUZZ_CHECK(e.find(',') == std::string::npos, Shown(text) + " element " + Shown(e));
    FUZZ_CHECK(S::BuildCommaList(parsed) == text + (trailing ? "," : ""),
               Shown(text) + " rebuilt as " + Shown(S::BuildCommaList(parsed)));

    // Merged with itself as the other writer's copy, a list is itself; what
    // another writer added to it comes after it.
    FUZZ_CHECK(S::MergeLists(parsed, parsed, parsed) == parsed, Joined(parsed));

    // Elements, one per line: built and read back, the same list.
    auto elements = fuzz::Lines(data, size);
    bool representable = std::none_of(elements.begin(), elements.end(),
                                      [](const std::string& e) { return e.find(',') != std::string::npos; });
    if (representable) {
        auto back = S::ParseCommaList(S::BuildCommaList(elements));
        FUZZ_CHECK(back == elements, Joined(elements) + " came back as " + Joined(back));
    }
    return 0;
}
