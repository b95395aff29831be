#include "common/basSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>

namespace basSettings {

std::string DowName(const std::string& program) { return kDowPrefix + program; }
std::string RunOnceName(const std::string& program) { return kRunOncePrefix + program; }
std::string LastRunName(const std::string& program) { return kLastRunPrefix + program; }

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// A decimal integer with optional sign; nothing when it does not fit `lo..hi`.
std::optional<long long> ToInteger(const std::string& s, long long lo, long long hi) {
    std::string t = Trim(s);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i == t.size()) return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v > hi + 1) return std::nullopt;  // beyond any target; stop before overflow
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool IsFailed(const std::vector<std::string>& failed, const std::string& name) {
    for (const auto& f : failed)
        if (f.size() == name.size() && EqualsNoCase(f, name.c_str())) return true;
    return false;
}

}  // namespace

bool IsMainValueName(const std::string& name) {
    for (const char* main : {RunList.name, SelectedList.name, StopList.name, SelectedStopList.name, RunPrograms.name,
                             StopServices.name, Order.name, UseHalcyra.name, ShowIcon.name, LogEV.name,
                             SecondsToWaitForService.name, UserCanModifyApps.name, ShutdownType.name,
                             ShowDetails.name, RanQuickStart.name, Admin.name, AppPath.name, RunAtAnyShutdown.name})
        if (EqualsNoCase(name, main)) return true;
    return false;
}

std::optional<std::int16_t> ToInt16(const std::string& s) {
    auto v = ToInteger(s, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
    if (!v) return std::nullopt;
    return static_cast<std::int16_t>(*v);
}

std::optional<std::int32_t> ToInt32(const std::string& s) {
    auto v = ToInteger(s, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<bool> ToBool(const std::string& s) {
    std::string t = Trim(s);
    if (EqualsNoCase(t, "True")) return true;
    if (EqualsNoCase(t, "False")) return false;
    // Any decimal integer, however long: true unless it is zero.
    size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    bool nonZero = false;
    for (; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return std::nullopt;
        nonZero = nonZero || t[i] != '0';
    }
    return nonZero;
}

const std::vector<const char*>& PolicyValueNames() {
    static const std::vector<const char*> names{
        RunList.name,      SelectedList.name,    StopList.name,         SelectedStopList.name,
        RunPrograms.name,  StopServices.name,    Order.name,            SecondsToWaitForService.name,
        UseHalcyra.name,   ShowIcon.name,        LogEV.name,            UserCanModifyApps.name,
        RunAtAnyShutdown.name, AllowOwnPrograms.name, LockSettings.name};
    return names;
}

bool IsPolicyValueName(const std::string& name) {
    for (const char* p : PolicyValueNames())
        if (EqualsNoCase(name, p)) return true;
    return false;
}

namespace {

struct PolicyKey {
    Source source;
    platform::RootKey root;
};
constexpr PolicyKey kPolicyKeys[] = {{Source::MachinePolicy, platform::RootKey::LocalMachine},
                                     {Source::UserPolicy, platform::RootKey::CurrentUser}};

// Is `name` one of the values a run-list entry named in `list` owns?
bool IsEntryValueOf(const std::string& list, const std::string& name) {
    for (const auto& entry : ParseCommaList(list)) {
        if (entry.empty()) continue;
        for (const std::string& owned : {entry, DowName(entry), RunOnceName(entry)})
            if (owned.size() == name.size() && EqualsNoCase(name, owned.c_str())) return true;
    }
    return false;
}

}  // namespace

Source Store::PolicySource(const std::string& name, std::string* out, std::error_code& ec) const {
    ec.clear();
    if (!policies_) return Source::Own;
    const bool policyValue = IsPolicyValueName(name);
    if (!policyValue && IsMainValueName(name)) return Source::Own;  // the user's and the daemon's own state
    const bool followsList = !policyValue || EqualsNoCase(name, SelectedList.name);
    std::string scratch;
    for (const PolicyKey& pk : kPolicyKeys) {
        platform::RegKey key = reg_.OpenKey(pk.root, kPolicyKey);
        if (!key) {
            if (platform::IsMissing(key.status())) continue;
            // A policy that cannot be read may hold anything: the value is
            // not the user's to show or store.
            ec = key.status();
            return pk.source;
        }
        if (followsList) {
            // The list's checks and its entries' values come from the key
            // that set the list, or not from a policy at all.
            std::string list;
            std::error_code lec = basRegistry::QueryString(reg_, key, RunList.name, list, true, flavor_);
            if (lec && !platform::IsMissing(lec)) {
                ec = lec;
                return pk.source;
            }
            if (!lec) {
                if (!EqualsNoCase(name, SelectedList.name) && !IsEntryValueOf(list, name)) return Source::Own;
                ec = basRegistry::QueryString(reg_, key, name, out ? *out : scratch, true, flavor_);
                return pk.source;
            }
            if (!policyValue) continue;
        }
        ec = basRegistry::QueryString(reg_, key, name, out ? *out : scratch, true, flavor_);
        if (!ec || !platform::IsMissing(ec)) return pk.source;
        ec.clear();
    }
    return Source::Own;
}

Source Store::SourceOf(const std::string& name) const {
    std::error_code ec;
    Source s = PolicySource(name, nullptr, ec);
    if (IsPolicy(s)) return s;
    std::string ignored;
    ec = QueryOwn(name, ignored);
    return ec && platform::IsMissing(ec) ? Source::Default : Source::Own;
}

std::error_code Store::QueryOwn(const std::string& name, std::string& out) const {
    if (batchKey_) return basRegistry::QueryString(reg_, batchKey_, name, out, true, flavor_);
    platform::RegKey key = reg_.OpenKey(root_, kSettingsKey);
    return key ? basRegistry::QueryString(reg_, key, name, out, true, flavor_) : key.status();
}

std::error_code Store::Query(const std::string& name, std::string& out) const {
    std::error_code ec;
    if (!IsPolicy(PolicySource(name, &out, ec))) ec = QueryOwn(name, out);
    if (ec && !platform::IsMissing(ec) && !IsFailed(failed_, name)) failed_.push_back(name);
    return ec;
}

bool Store::Readable(const std::string& name) const {
    std::string ignored;
    std::error_code ec = Query(name, ignored);
    return !IsFailed(failed_, name) && (!ec || platform::IsMissing(ec));
}

std::optional<std::string> Store::Raw(const std::string& name) const {
    std::string out;
    if (Query(name, out)) return std::nullopt;
    return out;
}

Store::Batch::Batch(const Store& store) : store_(store) {
    if (store_.batchKey_) return;  // an outer batch has the key open
    store_.batchKey_ = store_.reg_.OpenKey(store_.root_, kSettingsKey);
    owner_ = true;
}

Store::Batch::~Batch() {
    if (!owner_) return;
    store_.batchKey_.Close();
}

std::string Store::Text(const std::string& name, const std::string& def) const { return Raw(name).value_or(def); }

std::int16_t Store::Flag(const std::string& name, std::int16_t def) const {
    auto s = Raw(name);
    return s ? ToInt16(*s).value_or(def) : def;
}

std::int32_t Store::Long(const std::string& name, std::int32_t def) const {
    auto s = Raw(name);
    return s ? ToInt32(*s).value_or(def) : def;
}

bool Store::Boolean(const std::string& name, bool def) const {
    auto s = Raw(name);
    return s ? ToBool(*s).value_or(def) : def;
}

void Store::Write(const std::string& name, const std::string& text) const {
    if (Locked(name)) return;
    basRegistry::SaveString(reg_, root_, kSettingsKey, name, text);
}

std::error_code Store::Save(const std::string& name, const std::string& text) const {
    if (Locked(name)) return {};
    return basRegistry::TrySaveString(reg_, root_, kSettingsKey, name, text);
}

std::vector<std::string> ParseCommaList(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        out.push_back(text.substr(start, comma - start));
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

std::string BuildCommaList(const std::vector<std::string>& elements) {
    std::string out;
    for (const auto& e : elements) out += e + ",";
    return out;
}

std::string DaysText(const std::string& dow, bool runOnce, const DayInitialsT& initials) {
    std::string out;
    for (int d = 1; d <= 7; ++d)
        if (dow.find(static_cast<char>('0' + d)) != std::string::npos) out += initials[static_cast<size_t>(d - 1)];
    if (runOnce) out += "(1)";
    return out;
}

namespace {

std::vector<RunRow> ReadRows(const Store& store, const DayInitialsT& initials, bool namesOnly) {
    std::vector<RunRow> rows;
    for (const auto& name : ParseCommaList(store.Read(RunList))) {
        RunRow row{name, {}, false};
        if (!namesOnly)
            row.days = DaysText(store.Text(DowName(name), kAllDays),
                                store.Boolean(RunOnceName(name), false), initials);
        rows.push_back(std::move(row));
    }
    for (const auto& entry : ParseCommaList(store.Read(SelectedList))) {
        auto n = ToInt32(entry);
        if (n && *n >= 0 && static_cast<size_t>(*n) < rows.size()) rows[static_cast<size_t>(*n)].checked = true;
    }
    return rows;
}

bool HasRow(const std::vector<RunRow>& rows, const std::string& name) {
    for (const auto& r : rows)
        if (r.name.size() == name.size() && EqualsNoCase(r.name, name.c_str())) return true;
    return false;
}

}  // namespace

bool OwnProgramsAllowed(const Store& store) {
    return IsPolicy(store.SourceOf(AllowOwnPrograms.name)) && store.Read(AllowOwnPrograms) == 1;
}

std::vector<RunRow> ReadRunList(const Store& store, const DayInitialsT& initials, bool namesOnly) {
    std::vector<RunRow> rows = ReadRows(store, initials, namesOnly);
    if (!store.Locked(RunList.name)) return rows;
    for (auto& r : rows) r.policy = true;
    if (!OwnProgramsAllowed(store)) return rows;
    // The user's own entries follow; their values are read where the
    // policy's list does not name them, in the user's key.
    const std::vector<RunRow> policyRows = rows;
    for (auto& own : ReadRows(store.Own(), initials, true)) {
        if (HasRow(policyRows, own.name)) continue;
        if (!namesOnly)
            own.days = DaysText(store.Text(DowName(own.name), kAllDays),
                                store.Boolean(RunOnceName(own.name), false), initials);
        rows.push_back(std::move(own));
    }
    return rows;
}

std::string BuildRunListText(const std::vector<RunRow>& rows) {
    std::string out;
    for (const auto& r : rows) out += r.name + ",";
    return out;
}

std::string BuildSelectedListText(const std::vector<RunRow>& rows) {
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].checked) out += std::to_string(i) + ",";
    return out;
}

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& e) {
    for (const auto& x : list)
        if (x == e) return true;
    return false;
}

}  // namespace

std::vector<std::string> MergeLists(const std::vector<std::string>& base, const std::vector<std::string>& mine,
                                    const std::vector<std::string>& theirs) {
    if (theirs == base) return mine;
    std::vector<std::string> out;
    for (const auto& e : mine)
        if (!Contains(base, e) || Contains(theirs, e)) out.push_back(e);
    for (const auto& e : theirs)
        if (!Contains(base, e) && !Contains(out, e)) out.push_back(e);
    return out;
}

ListRead ReadList(const Store& store, const std::string& name) {
    std::string text = store.Text(name, "");
    if (!store.Readable(name)) return std::nullopt;
    return ParseCommaList(text);
}

namespace {

bool WriteChecked(const Store& store, const std::string& name, const std::string& text) {
    return !store.Save(name, text);
}

}  // namespace

bool SaveList(const Store& store, const std::string& name, const ListRead& base, const std::vector<std::string>& mine) {
    if (!base) return true;
    ListRead now = ReadList(store.Fresh(), name);
    if (!now) return true;
    std::vector<std::string> merged = MergeLists(*base, mine, *now);
    if (merged == *now) return true;
    return WriteChecked(store, name, BuildCommaList(merged));
}

namespace {

RunListRead ReadChecks(const Store& store) {
    RunListRead read;
    ListRead names = ReadList(store, RunList.name);
    ListRead selected = ReadList(store, SelectedList.name);
    read.selectedReadable = selected.has_value();
    if (!names) return read;
    std::vector<RunRow> rows;
    for (const auto& n : *names) rows.push_back({n, {}, false});
    for (const auto& entry : selected.value_or(std::vector<std::string>{})) {
        auto n = ToInt32(entry);
        if (n && *n >= 0 && static_cast<size_t>(*n) < rows.size()) rows[static_cast<size_t>(*n)].checked = true;
    }
    read.rows = std::move(rows);
    return read;
}

}  // namespace

RunListRead ReadRunListChecks(const Store& store) {
    RunListRead read = ReadChecks(store);
    if (!read.rows || !store.Locked(RunList.name)) return read;
    for (auto& r : *read.rows) r.policy = true;
    read.ownRowsReadable = false;
    if (!OwnProgramsAllowed(store)) return read;
    RunListRead own = ReadChecks(store.Own());
    read.ownRowsReadable = own.rows.has_value() && own.selectedReadable;
    if (!own.rows) return read;
    const std::vector<RunRow> policyRows = *read.rows;
    for (auto& r : *own.rows)
        if (!HasRow(policyRows, r.name)) read.rows->push_back(std::move(r));
    return read;
}

namespace {

std::vector<std::string> NamesOf(const std::vector<RunRow>& rows) {
    std::vector<std::string> names;
    for (const auto& r : rows) names.push_back(r.name);
    return names;
}

// The check of the first row of that name; nothing when there is none.
std::optional<bool> CheckOf(const std::vector<RunRow>& rows, const std::string& name) {
    for (const auto& r : rows)
        if (r.name == name) return r.checked;
    return std::nullopt;
}

}  // namespace

bool SaveRunRows(const Store& store, const RunListRead& base, const std::vector<RunRow>& mine) {
    if (base.rows && std::any_of(base.rows->begin(), base.rows->end(), [](const RunRow& r) { return r.policy; })) {
        // Only the user's own rows are theirs to store, in their own key.
        if (!base.ownRowsReadable) return true;
        RunListRead ownBase;
        ownBase.rows.emplace();
        std::vector<RunRow> policyRows, ownMine;
        for (const auto& r : *base.rows) (r.policy ? policyRows : *ownBase.rows).push_back(r);
        for (const auto& r : mine)
            if (!HasRow(policyRows, r.name)) ownMine.push_back(r);
        return SaveRunRows(store.Own(), ownBase, ownMine);
    }
    if (!base.rows || !base.selectedReadable) return true;
    RunListRead now = ReadRunListChecks(store.Fresh());
    if (!now.rows || !now.selectedReadable) return true;
    std::vector<RunRow> merged;
    for (const auto& name : MergeLists(NamesOf(*base.rows), NamesOf(mine), NamesOf(*now.rows))) {
        std::optional<bool> here = CheckOf(mine, name), read = CheckOf(*base.rows, name), stored = CheckOf(*now.rows, name);
        // This side's check where it was changed here or the row is its own.
        bool checked = here && (!stored || !read || *here != *read) ? *here : stored.value_or(here.value_or(false));
        merged.push_back({name, {}, checked});
    }
    std::string names = BuildRunListText(merged), selected = BuildSelectedListText(merged);
    bool ok = true;
    const bool namesChanged = NamesOf(merged) != NamesOf(*now.rows);
    if (namesChanged) ok = WriteChecked(store, RunList.name, names);
    // The checks are positions in the names: under new names a stored
    // position past the old rows (ticking nothing before) would tick one.
    if (ok && (BuildSelectedListText(*now.rows) != selected ||
               (namesChanged && store.Fresh().Read(SelectedList) != selected)))
        ok = WriteChecked(store, SelectedList.name, selected);
    return ok;
}

bool IsDueOnWeekday(const std::string& dow, int weekday) {
    return weekday >= 1 && weekday <= 7 && dow.find(static_cast<char>('0' + weekday)) != std::string::npos;
}

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::string FourDigits(int y) {
    std::string s = std::to_string(y);
    return s.size() < 4 ? std::string(4 - s.size(), '0') + s : s;
}

}  // namespace

std::int32_t DayKey(int year, int month, int day) {
    static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
    int m = month < 1 ? 1 : month > 12 ? 12 : month;
    // A day the month does not have counts as its nearest one, as the month
    // does; any int, however far out, stays a day of that year.
    int leap = IsLeap(year) ? 1 : 0;
    int first = kBefore[m - 1] + (m > 2 ? leap : 0);
    int length = kBefore[m] + (m >= 2 ? leap : 0) - first;
    int d = day < 1 ? 1 : day > length ? length : day;
    int dayOfYear = first + d - 1;
    return ToInt32(std::to_string(dayOfYear) + FourDigits(year)).value_or(0);
}

bool IsDueOnce(std::int32_t todayKey, std::int32_t lastKey) {
    std::string lastText = std::to_string(lastKey);
    long long last = lastKey;
    if (lastText.size() < 4) last = std::atoll((lastText + "0000").c_str());
    auto yearOf = [](long long key) { return (key < 0 ? -key : key) % 10000; };
    if (yearOf(todayKey) > yearOf(last)) return true;
    return todayKey > last;
}

}  // namespace basSettings
