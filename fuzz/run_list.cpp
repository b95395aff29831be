// The run list from a settings key of any content: "RunList" names the
// programs, "SelectedList" the checked rows by position, "dow<name>" and
// "ro<name>" their days and once-per-day rule, "lr<name>" the day stamp of
// the last run. Saved as read and read back, it is the same list; its days
// column shows the days "dow" names; a program stamped as run today is not
// due again today, whatever its stamp said before.
//
// Input: settings_script.h lines; ">applet" reads as the applet does (else
// as the daemon), ">names" asks for names only.
#include "common/basSettings.h"
#include "fuzz_check.h"
#include "settings_script.h"

namespace S = basSettings;
using fuzz::Shown;

namespace {

// Distinct initials, so the days column tells which days it shows.
const S::DayInitialsT kInitials{"a", "b", "c", "d", "e", "f", "g"};

std::string Described(const std::vector<S::RunRow>& rows) {
    std::string out;
    for (const auto& r : rows) out += (r.checked ? "[x] " : "[ ] ") + Shown(r.name) + " " + Shown(r.days) + "; ";
    return out;
}

bool Same(const std::vector<S::RunRow>& a, const std::vector<S::RunRow>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].days != b[i].days || a[i].checked != b[i].checked) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::SettingsScript script = fuzz::ParseSettingsScript(data, size);
    script.faults.clear();  // this target reads a key that answers
    fuzz::ScriptedRegistry reg(script);
    auto flavor = script.Has("applet") ? basRegistry::Flavor::Applet : basRegistry::Flavor::Daemon;
    bool namesOnly = script.Has("names");
    S::Store store(reg, platform::RootKey::CurrentUser, flavor);

    std::vector<S::RunRow> rows;
    {
        S::Store::Batch batch(store);
        rows = S::ReadRunList(store, kInitials, namesOnly);
    }
    auto names = S::ParseCommaList(store.Read(S::RunList));
    FUZZ_CHECK(rows.size() == names.size(), Described(rows));
    for (size_t i = 0; i < rows.size(); ++i) {
        const S::RunRow& r = rows[i];
        FUZZ_CHECK(r.name == names[i], Described(rows));
        if (namesOnly) {
            FUZZ_CHECK(r.days.empty(), Described(rows));
            continue;
        }
        // The days column: the initials of the weekdays the program runs on,
        // Sunday first, then "(1)" for once a day.
        std::string dow = store.Text(S::DowName(r.name), S::kAllDays);
        bool once = store.Boolean(S::RunOnceName(r.name), false);
        std::string expected;
        for (int w = 1; w <= 7; ++w)
            if (S::IsDueOnWeekday(dow, w)) expected += kInitials[static_cast<size_t>(w - 1)];
        if (once) expected += "(1)";
        FUZZ_CHECK(r.days == expected, Shown(r.name) + " dow " + Shown(dow) + " days " + Shown(r.days));
        FUZZ_CHECK(!S::IsDueOnWeekday(dow, 0) && !S::IsDueOnWeekday(dow, 8), Shown(dow));

        // The once-per-day bookkeeping as the runner keeps it.
        const std::int32_t today = S::DayKey(2025, 6, 15);
        std::int32_t last = store.Long(S::LastRunName(r.name), 0);
        bool due = S::IsDueOnce(today, last);
        if (last == 0) FUZZ_CHECK(due, Shown(r.name) + " never ran but is not due");
        store.Write(S::LastRunName(r.name), std::to_string(today));
        FUZZ_CHECK(store.Long(S::LastRunName(r.name), 0) == today, Shown(r.name) + " stamp not read back");
        FUZZ_CHECK(!S::IsDueOnce(today, store.Long(S::LastRunName(r.name), 0)), Shown(r.name) + " due twice a day");
    }

    // Saved as it was read, then read back: the same rows. And saving that
    // again writes the same texts.
    std::string runText = S::BuildRunListText(rows), selectedText = S::BuildSelectedListText(rows);
    store.Write(S::RunList.name, runText);
    store.Write(S::SelectedList.name, selectedText);
    std::vector<S::RunRow> back = S::ReadRunList(store, kInitials, namesOnly);
    FUZZ_CHECK(Same(rows, back), "saved " + Described(rows) + "\n  read back " + Described(back));
    FUZZ_CHECK(S::BuildRunListText(back) == runText && S::BuildSelectedListText(back) == selectedText,
               Shown(runText) + " " + Shown(selectedText));
    return 0;
}
