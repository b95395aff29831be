// The title test of the taskbar's windows: a caption is one of the system's
// dialogs when, without its blanks around and whatever follows a NUL, it
// equals a title in any letter case. Slot 2 wins over 1 over 0; an empty
// title never matches; nothing blank matches.
//
// The system's captions are text: the case-blind test is held to them as
// well-formed UTF-8. Input: the caption; with ">" lines first, up to three titles of our own
// (else those of the language the first byte picks).
#include "common/basText.h"
#include "daemon/DaemonState.h"
#include "daemon/basCountryDialogTexts.h"
#include "daemon/basDaemon.h"
#include "fuzz_check.h"
#include "platform/fake/fake_locale.h"

using fuzz::AsciiUpper;
using fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::fake::FakeLocale locale;
    std::array<std::string, 3> titles;
    auto lines = fuzz::Lines(data, size);
    size_t ownTitles = 0;
    while (ownTitles < lines.size() && ownTitles < 3 && !lines[ownTitles].empty() && lines[ownTitles][0] == '>') {
        titles[ownTitles] = lines[ownTitles].substr(1);
        ++ownTitles;
    }
    if (ownTitles == 0) {
        static const std::uint16_t kCodes[] = {1033, 1031, 1034, 1036, 1040, 1030, 1043, 2057};
        halcyrad::DaemonState state;
        std::uint16_t code = size ? kCodes[data[0] % std::size(kCodes)] : 1033;
        basCountry::FillTextTables(basCountry::TextSetFor(code), "user", state);
        titles = state.InterceptTitles;
    }
    std::string caption;
    for (size_t i = ownTitles; i < lines.size(); ++i) caption += (i > ownTitles ? "\n" : "") + lines[i];

    int slot = basDaemon::MatchInterceptTitle(locale, titles, caption);
    FUZZ_CHECK(slot >= -1 && slot <= 2, std::to_string(slot));

    // What the test compares: the caption up to a NUL, without the blanks around.
    std::string t = caption.substr(0, caption.find('\0'));
    size_t b = t.find_first_not_of(' ');
    t = b == std::string::npos ? std::string() : t.substr(b, t.find_last_not_of(' ') - b + 1);
    int expected = -1;
    for (int s : {2, 1, 0}) {
        const std::string& title = titles[static_cast<size_t>(s)];
        if (!t.empty() && !title.empty() && locale.Lower(t) == locale.Lower(title)) {
            expected = s;
            break;
        }
    }
    FUZZ_CHECK(slot == expected, Shown(caption) + " matched " + std::to_string(slot) + ", expected " +
                                     std::to_string(expected));

    // Each title is recognised as the system shows it: in capitals, padded,
    // with what a NUL hides after it, unless a stronger slot has the same.
    for (int s = 0; s < 3; ++s) {
        const std::string& title = titles[static_cast<size_t>(s)];
        std::string shown = title.substr(0, title.find('\0'));
        if (shown.find_first_not_of(' ') == std::string::npos || shown != title || !fuzz::IsUtf8(shown)) continue;
        if (shown.front() == ' ' || shown.back() == ' ') continue;
        int got = basDaemon::MatchInterceptTitle(locale, titles, "  " + AsciiUpper(shown) + " " + std::string(1, '\0') + caption);
        FUZZ_CHECK(got >= s, Shown(title) + " in slot " + std::to_string(s) + " matched " + std::to_string(got));
    }
    return 0;
}
