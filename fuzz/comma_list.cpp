// Comma lists: every element followed by one ",". A list read from any
// text gives that text back up to its last comma; a list of elements built
// and read back is the same list. An element with a comma of its own has no
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

    // Read from any text: one element per comma, none holding one; built
    // again, the text up to and with its last comma.
    auto parsed = S::ParseCommaList(text);
    FUZZ_CHECK(parsed.size() == static_cast<size_t>(std::count(text.begin(), text.end(), ',')),
               Shown(text) + " gave " + Joined(parsed));
    for (const auto& e : parsed) FUZZ_CHECK(e.find(',') == std::string::npos, Shown(text) + " element " + Shown(e));
    size_t last = text.rfind(',');
    std::string upToLast = last == std::string::npos ? std::string() : text.substr(0, last + 1);
    FUZZ_CHECK(S::BuildCommaList(parsed) == upToLast, Shown(text) + " rebuilt as " + Shown(S::BuildCommaList(parsed)));

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
