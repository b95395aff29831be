#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/basRegistry.h"
#include "platform/clock.h"

// The settings key: every value name with its default, the typed reads,
// the comma lists and the run-list bookkeeping.
namespace basSettings {

inline constexpr const char* kSettingsKey = "Software\\Halcyra\\Settings";
// An administrator's values, read before the user's own: the machine's first,
// then the user's. Nothing of this system writes there.
inline constexpr const char* kPolicyKey = "Software\\Policies\\Halcyra\\Settings";

struct TextValue { const char* name; const char* def; };
struct FlagValue { const char* name; std::int16_t def; };   // "1"/"0"
struct LongValue { const char* name; std::int32_t def; };   // decimal, 32 bits
struct BoolValue { const char* name; bool def; };           // "True"/"False"

inline constexpr TextValue RunList{"RunList", ""};
inline constexpr TextValue SelectedList{"SelectedList", ""};
inline constexpr TextValue StopList{"StopList", ""};
inline constexpr TextValue SelectedStopList{"SelectedStopList", ""};
inline constexpr FlagValue RunPrograms{"RunPrograms", 1};
inline constexpr FlagValue StopServices{"StopServices", 0};
inline constexpr BoolValue Order{"Order", true};
inline constexpr FlagValue UseHalcyra{"UseHalcyra", 0};
inline constexpr FlagValue ShowIcon{"ShowIcon", 1};
inline constexpr FlagValue LogEV{"LogEV", 1};
inline constexpr LongValue SecondsToWaitForService{"SecondsToWaitForService", 20};
inline constexpr FlagValue UserCanModifyApps{"UserCanModifyApps", 1};
inline constexpr TextValue ShutdownType{"ShutdownType", "Logoff"};
inline constexpr TextValue ShowDetails{"ShowDetails", ">>"};
inline constexpr BoolValue RanQuickStart{"RanQuickStart", false};
inline constexpr TextValue Admin{"Admin", ""};
inline constexpr TextValue AppPath{"AppPath", ""};
// The programs and services also at every end of the session Windows asks
// the daemon about, not only after its own dialog (off until chosen).
inline constexpr FlagValue RunAtAnyShutdown{"RunAtAnyShutdown", 0};
// Policy only: "1" keeps the user's own run-list entries, after the
// policy's, when a policy sets "RunList"; otherwise only the policy's run.
inline constexpr FlagValue AllowOwnPrograms{"AllowOwnPrograms", 0};
// Policy only: "1" shows the applet's settings without letting them change.
inline constexpr FlagValue LockSettings{"LockSettings", 0};

// Where a value that a reader got came from.
enum class Source { Default, MachinePolicy, UserPolicy, Own };
inline bool IsPolicy(Source s) { return s == Source::MachinePolicy || s == Source::UserPolicy; }

// The values an administrator may set; every other name is the user's own
// (apart from a policy run list's entries, which follow the list).
const std::vector<const char*>& PolicyValueNames();
bool IsPolicyValueName(const std::string& name);

// True when `name` equals, ignoring letter case as the registry does, one
// of the main values above: a program entry of that name would write its
// command line over it.
bool IsMainValueName(const std::string& name);

// Per-program values: the command line under the program's own name, and
// three more under a prefix.
inline constexpr const char* kDowPrefix = "dow";
inline constexpr const char* kRunOncePrefix = "ro";
inline constexpr const char* kLastRunPrefix = "lr";
inline constexpr const char* kAllDays = "1234567";
std::string DowName(const std::string& program);
std::string RunOnceName(const std::string& program);
std::string LastRunName(const std::string& program);

// System values read from HKEY_LOCAL_MACHINE.
inline constexpr const char* kWinlogonKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr LongValue PowerdownAfterShutdown{"PowerdownAfterShutdown", 0};
inline constexpr const char* kServicesKey = "System\\CurrentControlSet\\Services\\";
inline constexpr const char* kDependOnService = "DependOnService";

// Text conversions. A number converts when it is a decimal integer with an
// optional sign and surrounding blanks that fits the target type.
std::optional<std::int16_t> ToInt16(const std::string& s);
std::optional<std::int32_t> ToInt32(const std::string& s);
// "True"/"False" in any letter case, or a number (non-zero is true).
std::optional<bool> ToBool(const std::string& s);
inline std::string FromBool(bool b) { return b ? "True" : "False"; }

// Typed access to the settings key under a root. A value that is
// missing, of another type or does not convert yields its default.
class Store {
public:
    Store(platform::Registry& reg, platform::RootKey root,
          basRegistry::Flavor flavor = basRegistry::Flavor::Applet)
        : reg_(reg), root_(root), flavor_(flavor), policies_(root == platform::RootKey::CurrentUser) {}

    std::string Read(const TextValue& v) const { return Text(v.name, v.def); }
    std::int16_t Read(const FlagValue& v) const { return Flag(v.name, v.def); }
    std::int32_t Read(const LongValue& v) const { return Long(v.name, v.def); }
    bool Read(const BoolValue& v) const { return Boolean(v.name, v.def); }

    std::string Text(const std::string& name, const std::string& def) const;
    std::int16_t Flag(const std::string& name, std::int16_t def) const;
    std::int32_t Long(const std::string& name, std::int32_t def) const;
    bool Boolean(const std::string& name, bool def) const;

    // False when the value is there but cannot be read: a failure other than
    // its absence, or a type this flavour does not read. Such a value must
    // not be written back from what its default showed. A read of it through
    // this store that failed before counts, even when the failure has passed:
    // what was shown came from the default.
    bool Readable(const std::string& name) const;

    // Where the value read now comes from: a policy value wins over the
    // user's own one, value by value; the entries of a run list set by a
    // policy (command, "dow", "ro") come from that policy's key.
    Source SourceOf(const std::string& name) const;
    bool Locked(const std::string& name) const { return IsPolicy(SourceOf(name)); }
    // The user's own key alone, without the policies.
    Store Own() const {
        Store s(reg_, root_, flavor_);
        s.policies_ = false;
        return s;
    }

    // A value a policy sets is not written (the user's own one is not what
    // was shown); that is no failure.
    void Write(const std::string& name, const std::string& text) const;
    // Writes and says whether the registry took it.
    std::error_code Save(const std::string& name, const std::string& text) const;
    void WriteFlag(const std::string& name, int state) const { Write(name, std::to_string(state)); }
    void WriteBool(const std::string& name, bool b) const { Write(name, FromBool(b)); }

    platform::Registry& registry() const { return reg_; }
    // The same key read anew: no failure of this store's earlier reads counts.
    Store Fresh() const {
        Store s(reg_, root_, flavor_);
        s.policies_ = policies_;
        return s;
    }

    // While a Batch lives, reads go through one open key instead of opening
    // it for every value; each value is still read whole.
    class Batch {
    public:
        explicit Batch(const Store& store);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        const Store& store_;
        bool owner_ = false;
    };

private:
    std::optional<std::string> Raw(const std::string& name) const;
    std::error_code Query(const std::string& name, std::string& out) const;
    std::error_code QueryOwn(const std::string& name, std::string& out) const;
    // The policy key that holds `name`, with the status of a read that
    // failed there; Own when no policy names it.
    Source PolicySource(const std::string& name, std::string* out, std::error_code& ec) const;

    platform::Registry& reg_;
    platform::RootKey root_;
    basRegistry::Flavor flavor_;
    bool policies_;
    mutable platform::RegKey batchKey_;
    mutable std::vector<std::string> failed_;  // names whose read failed
};

// Comma lists: every element is followed by one ",", as the programs write
// them; text after the last comma (a list written by hand or by a tool) is
// an element too.
std::vector<std::string> ParseCommaList(const std::string& text);
std::string BuildCommaList(const std::vector<std::string>& elements);

using DayInitialsT = std::array<std::string, 7>;  // Sunday first

// A run-list row as both deliverables show it.
struct RunRow {
    std::string name;
    std::string days;  // empty when only names were asked for
    bool checked = false;
    bool policy = false;  // set by an administrator: shown, never stored as the user's
};

// "AllowOwnPrograms" set to 1 by a policy.
bool OwnProgramsAllowed(const Store& store);

// The run list: a list set by a policy gives the rows (marked `policy`),
// followed by the user's own when the policy allows them (an own row of a
// policy row's name is left out).
std::string DaysText(const std::string& dow, bool runOnce, const DayInitialsT& initials);
std::vector<RunRow> ReadRunList(const Store& store, const DayInitialsT& initials,
                                bool namesOnly = false);
// "RunList" and "SelectedList" texts of rows, top to bottom.
std::string BuildRunListText(const std::vector<RunRow>& rows);
std::string BuildSelectedListText(const std::vector<RunRow>& rows);

// Three-way merge of a list by element: what this side read (`base`), what
// it would store (`mine`) and what is stored now (`theirs`). When another
// writer changed the list meanwhile, what it added stays (after this side's
// elements, in its order) and what it removed goes, as does what this side
// removed; otherwise `mine` is the result.
std::vector<std::string> MergeLists(const std::vector<std::string>& base, const std::vector<std::string>& mine,
                                    const std::vector<std::string>& theirs);

// What a side read of a list: nothing when the value could not be read.
using ListRead = std::optional<std::vector<std::string>>;
ListRead ReadList(const Store& store, const std::string& name);

// Stores `mine` as list `name` unless the list stored now says the same
// (whatever its commas); another writer's changes since `base` was read are
// merged in. Nothing is written when the value could not be read, then or
// now. False only when a write was needed and it was not made.
bool SaveList(const Store& store, const std::string& name, const ListRead& base, const std::vector<std::string>& mine);

// The run list as a side read it: the rows by name with their checks;
// nothing when "RunList" could not be read.
struct RunListRead {
    std::optional<std::vector<RunRow>> rows;
    bool selectedReadable = true;  // "SelectedList" could be read
    // Beside a policy's rows: the user's own rows are allowed and were read.
    bool ownRowsReadable = true;
};
RunListRead ReadRunListChecks(const Store& store);

// Stores the rows' names and checks in "RunList" and "SelectedList" as
// SaveList does, by name: rows another writer added since `base` stay with
// their checks, rows it removed go, and a check changed here wins over the
// one stored. Positions in "SelectedList" follow the names, so neither list
// is written while either could not be read. False only when a write was
// needed and it was not made.
bool SaveRunRows(const Store& store, const RunListRead& base, const std::vector<RunRow>& mine);

// Weekday test: `weekday` is 1 Sunday .. 7 Saturday.
bool IsDueOnWeekday(const std::string& dow, int weekday);

// Day key: the day of the year counted from 0, then the four-digit year.
std::int32_t DayKey(int year, int month, int day);
inline std::int32_t DayKey(const platform::LocalTime& t) { return DayKey(t.year, t.month, t.day); }
// The once-per-day rule: is a program last run on `lastKey` due on `todayKey`?
bool IsDueOnce(std::int32_t todayKey, std::int32_t lastKey);

}  // namespace basSettings
