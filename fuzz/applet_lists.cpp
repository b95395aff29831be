// The applet's programs and services pages driven by a script of the
// user's operations: Add and Edit through the entry editor, Remove, Up,
// Down and checks on the run list; Up, Down and checks on the stop list;
// Apply, OK, Cancel, and the dialog opened again.
//
// What must hold after every operation: the lists are what the operation
// makes of them (the editor refuses a name with a comma, one of the
// product's own values, another listed entry's name in any letter case
// unless it is the edited entry's own, or one whose values would mix with
// another listed entry's: "dow", "ro" or "lr" followed by the other's name,
// or the other way round); Up and Down keep the entries; no operation changes the
// stored values of an entry it was not about, and Remove changes none. A
// list Apply saves (one that changed) reads back as shown, and the dialog
// opened again shows it.
//
// Input, one line each:
//   s<name>=<text>    a value already in the settings key
//   S<name>=<display> a running service; T<...> a stopped one
//   p1                Windows 98
//   >a<mask><name>=<program>        Add; the mask's bits 0..6 untick
//                                   Sunday..Saturday, bit 7 once a day
//   >e<row><mask><name>=<program>   Edit that row; >x<row> Edit, cancelled
//   >r<row> >u<row> >d<row> >k<row> Remove, Up, Down, check or uncheck
//   >U<row> >D<row> >K<row>         Up, Down, check on the services page
//   >A Apply   >O OK   >C Cancel    (after OK or Cancel, more operations
//                                   open the dialog again)
#include <map>
#include <set>

#include "applet/AppletState.h"
#include "applet/frmMain.h"
#include "applet/halcfgForms.h"
#include "common/basSettings.h"
#include "fuzz_check.h"
#include "platform/callback_guard.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_registry.h"
#include "ui/memory/memory_ui.h"

namespace S = basSettings;
using fuzz::Shown;
using ui::memory::MemoryForm;
using platform::RootKey;

namespace {

struct Row {
    std::string name, days;
    bool checked = false;
    bool operator==(const Row&) const = default;
};

struct Op {
    char kind = 0;
    int row = 0;
    unsigned mask = 0;
    std::string name, program;
};

// Lower case as the fake registry compares value names.
std::string RegFold(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool HasText(const std::string& s) { return s.find_first_not_of(' ') != std::string::npos; }

std::string Described(const std::vector<Row>& rows) {
    std::string out;
    for (const auto& r : rows) out += (r.checked ? "[x] " : "[ ] ") + Shown(r.name) + " " + Shown(r.days) + "; ";
    return out;
}

std::vector<Row> RowsOf(ui::ListView& list, bool withDays) {
    std::vector<Row> out;
    for (int r = 0; r < list.RowCount(); ++r)
        out.push_back({list.GetItemText(r, 0), withDays ? list.GetItemText(r, 1) : "", list.IsItemChecked(r)});
    return out;
}

struct Harness : platform::fake::FakeParts {
    platform::fake::FakeRegistry reg;
    platform::fake::FakeSystem sys;
    platform::Platform plat = With(reg, sys);
    ui::memory::MemoryUi ui;
    halcfg::AppletState state;

    Harness() {
        applet_forms::RegisterTemplates(ui);
        state.LibraryFolder = "C:\\Program Files\\Halcyra\\";
    }

    std::optional<platform::RegData> Cell(const std::string& name) const {
        return reg.Peek(RootKey::CurrentUser, S::kSettingsKey, name);
    }
    // An entry's stored values: its command line, days, once-a-day rule and last run.
    std::vector<std::optional<platform::RegData>> Cells(const std::string& name) const {
        return {Cell(name), Cell(S::DowName(name)), Cell(S::RunOnceName(name)), Cell(S::LastRunName(name))};
    }
    static bool Same(const std::vector<std::optional<platform::RegData>>& a,
                     const std::vector<std::optional<platform::RegData>>& b) {
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].has_value() != b[i].has_value() ||
                (a[i] && (a[i]->type != b[i]->type || a[i]->data != b[i]->data)))
                return false;
        return true;
    }
    // Whether two entries' names put some of their values under one name.
    bool Overlap(const std::string& a, const std::string& b) {
        if (locale.EqualsIgnoreCase(a, b)) return false;  // the same name: refused on its own
        for (const char* prefix : {S::kDowPrefix, S::kRunOncePrefix, S::kLastRunPrefix})
            if (locale.EqualsIgnoreCase(a, prefix + b) || locale.EqualsIgnoreCase(b, prefix + a)) return true;
        return false;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::SetCallbackErrorSink([](const std::string& what) {
        fuzz::Fail(__FILE__, __LINE__, "no exception reaches the system", Shown(what));
    });
    Harness h;
    std::vector<Op> ops;
    for (const std::string& line : fuzz::Lines(data, size)) {
        if (line.size() < 2) continue;
        std::string rest = line.substr(1);
        // Text boxes, the registry's value names and the services' names hold no NUL.
        if (line[0] != '>' && rest.find('\0') != std::string::npos) continue;
        size_t eq = rest.find('=');
        switch (line[0]) {
            case 's':
                if (eq != std::string::npos && rest.substr(0, eq) != S::Admin.name)
                    h.reg.PlantString(RootKey::CurrentUser, S::kSettingsKey, rest.substr(0, eq), rest.substr(eq + 1));
                break;
            case 'S':
            case 'T':
                if (eq != std::string::npos && h.services.services.size() < 16 && !h.services.Find(rest.substr(0, eq)))
                    h.services.Add(rest.substr(0, eq), rest.substr(eq + 1),
                                   line[0] == 'S' ? platform::svc::kRunning : platform::svc::kStopped);
                break;
            case 'p':
                if (rest == "1") h.sys.version = {1, 4, 10};
                break;
            case '>': {
                if (ops.size() >= 48) break;
                Op op;
                op.kind = rest[0];
                std::string args = rest.substr(1);
                bool hasRow = std::string_view("exrudkUDK").find(op.kind) != std::string_view::npos;
                if (hasRow) {
                    if (args.empty()) break;
                    op.row = static_cast<unsigned char>(args[0]);
                    args.erase(0, 1);
                }
                if (op.kind == 'a' || op.kind == 'e') {
                    if (args.empty()) break;
                    op.mask = static_cast<unsigned char>(args[0]);
                    args.erase(0, 1);
                    size_t sep = args.find('=');
                    if (sep == std::string::npos) break;
                    op.name = args.substr(0, sep);
                    op.program = args.substr(sep + 1);
                    if (args.find('\0') != std::string::npos) break;
                }
                ops.push_back(op);
                break;
            }
            default: break;
        }
    }

    std::vector<Row> savedRun, savedStop;  // the lists as last applied, or first shown
    bool haveSaved = false;
    size_t next = 0;
    for (int showing = 0; showing < 4 && (showing == 0 || next < ops.size()); ++showing) {
        h.ui.OnModal("frmMain", [&](MemoryForm& f) {
            auto& run = f.GetListView("lsvRun");
            auto& stop = f.GetListView("lsvStop");
            std::vector<Row> shownRun = RowsOf(run, true), shownStop = RowsOf(stop, false);
            std::vector<Row> loadedRun = shownRun, loadedStop = shownStop;
            for (auto& r : loadedRun) r.days.clear();
            if (!haveSaved) {
                savedRun = loadedRun, savedStop = loadedStop, haveSaved = true;
            } else {
                // Opened again: the lists as applied, and every day column
                // from the stored values.
                FUZZ_CHECK(loadedRun == savedRun, "run list applied " + Described(savedRun) + "\n  shown again " +
                                                      Described(loadedRun));
                FUZZ_CHECK(loadedStop.size() >= savedStop.size(), "stop list " + Described(loadedStop));
                for (size_t r = 0; r < savedStop.size(); ++r)
                    FUZZ_CHECK(loadedStop[r].name == savedStop[r].name,
                               "stop list applied " + Described(savedStop) + "\n  shown again " + Described(loadedStop));
            }
            S::Store store(h.reg, RootKey::CurrentUser);
            for (const Row& r : shownRun) {
                std::string days = S::DaysText(store.Text(S::DowName(r.name), S::kAllDays),
                                               store.Boolean(S::RunOnceName(r.name), false), h.state.DayInitials);
                FUZZ_CHECK(r.days == days, Shown(r.name) + " shows " + Shown(r.days) + ", stored " + Shown(days));
            }

            while (next < ops.size() && !f.closed) {
                const Op op = ops[next++];
                std::vector<Row> runBefore = RowsOf(run, true), stopBefore = RowsOf(stop, false);
                std::map<std::string, std::vector<std::optional<platform::RegData>>> cellsBefore;
                for (const Row& r : runBefore) cellsBefore[r.name] = h.Cells(r.name);
                bool servicesOp = op.kind == 'U' || op.kind == 'D' || op.kind == 'K';
                f.GetTab("SSTab1").SelectTab(servicesOp ? 1 : 0);
                f.Click("SSTab1");
                ui::ListView& list = servicesOp ? stop : run;
                std::vector<Row> expected = servicesOp ? stopBefore : runBefore;
                int row = list.RowCount() > 0 ? op.row % list.RowCount() : -1;
                auto usable = [&f](const char* name) {
                    auto& b = static_cast<ui::memory::MemLabel&>(f.GetButton(name));
                    return b.Enabled() && b.Visible();
                };
                std::string entryName;   // the entry Add or Edit wrote, when it did
                int editedRow = -1;
                switch (op.kind) {
                    case 'a':
                    case 'e':
                    case 'x': {
                        bool add = op.kind == 'a';
                        const char* button = add ? "cmdAdd" : "cmdEdit";
                        if (!add && row >= 0) list.SelectItem(row);
                        if (!usable(button) || (!add && row < 0)) {
                            f.Click(button);
                            break;
                        }
                        // The editor's boxes as it opens them.
                        std::string dow = add ? S::kAllDays : store.Text(S::DowName(runBefore[row].name), S::kAllDays);
                        std::string days;
                        for (int d = 1; d <= 7; ++d) {
                            bool on = dow.find(static_cast<char>('0' + d)) != std::string::npos;
                            if (op.kind != 'x' && (op.mask >> (d - 1)) & 1) on = !on;
                            if (on) days += static_cast<char>('0' + d);
                        }
                        bool once = (op.mask & 0x80) != 0;
                        h.ui.OnModal("frmProgramSelection", [&op](MemoryForm& e) {
                            if (op.kind != 'x') {
                                e.Type("txtDisplayName", op.name);
                                e.Type("txtProgram", op.program);
                                for (int d = 1; d <= 7; ++d)
                                    if ((op.mask >> (d - 1)) & 1) e.Click("chkDOW(" + std::to_string(d) + ")");
                                e.Click((op.mask & 0x80) ? "optHowOften(1)" : "optHowOften(0)");
                                e.Click("cmdOK");
                            }
                            // Refused or cancelled: the user closes it with the close box.
                            if (!e.closed) e.RequestClose();
                        });
                        f.Click(button);
                        bool accepted = op.kind != 'x' && HasText(op.name) && HasText(op.program) &&
                                        op.name.find(',') == std::string::npos && !S::IsMainValueName(op.name);
                        // Another row's name, in any letter case, is refused; an
                        // entry edited keeps its own.
                        bool own = !add && h.locale.EqualsIgnoreCase(op.name, runBefore[row].name);
                        for (size_t j = 0; accepted && j < runBefore.size(); ++j)
                            if (add || static_cast<int>(j) != row)
                                accepted = !h.Overlap(op.name, runBefore[j].name) &&
                                           (own || !h.locale.EqualsIgnoreCase(op.name, runBefore[j].name));
                        if (!accepted) break;
                        Row made{op.name, S::DaysText(days, once, h.state.DayInitials), true};
                        entryName = op.name;
                        if (add) {
                            expected.push_back(made);
                        } else {
                            made.checked = runBefore[row].checked;
                            editedRow = row;
                            expected[row] = made;
                        }
                        auto text = [&h](const std::string& name) {
                            auto v = h.Cell(name);
                            return v ? v->data : std::string("<missing>");
                        };
                        FUZZ_CHECK(text(op.name) == op.program && text(S::DowName(op.name)) == days &&
                                       text(S::RunOnceName(op.name)) == S::FromBool(once),
                                   Shown(op.name) + " not stored as entered");
                        break;
                    }
                    case 'r':
                    case 'u':
                    case 'd':
                    case 'U':
                    case 'D': {
                        if (row >= 0) list.SelectItem(row);
                        const char* button = op.kind == 'r'   ? "cmdRemove"
                                             : op.kind == 'u' ? "cmdUp"
                                             : op.kind == 'd' ? "cmdDown"
                                             : op.kind == 'U' ? "cmdUpServices"
                                                              : "cmdDownServices";
                        bool can = usable(button) && row >= 0;
                        f.Click(button);
                        if (!can) break;
                        if (op.kind == 'r') {
                            expected.erase(expected.begin() + row);
                            int rows = static_cast<int>(expected.size());
                            FUZZ_CHECK(list.SelectedRow() == (rows == 0 ? -1 : std::min(row, rows - 1)),
                                       "selected after Remove: " + std::to_string(list.SelectedRow()));
                            break;
                        }
                        int target = row + (op.kind == 'u' || op.kind == 'U' ? -1 : 1);
                        if (target >= 0 && target < static_cast<int>(expected.size())) {
                            std::swap(expected[row], expected[target]);
                            row = target;
                        }
                        FUZZ_CHECK(list.SelectedRow() == row, "the moved row is not selected");
                        break;
                    }
                    case 'k':
                    case 'K': {
                        auto& view = static_cast<ui::memory::MemListView&>(list);
                        if (row < 0 || !view.Enabled() || !view.Visible()) break;
                        list.SelectItem(row);
                        if (list.IsItemChecked(row)) list.UncheckItem(row);
                        else list.CheckItem(row);
                        expected[row].checked = !expected[row].checked;
                        if (op.kind == 'k') f.MouseDown("lsvRun", ui::MouseEvent{});
                        else f.KeyUp("lsvStop", 32);
                        break;
                    }
                    case 'A':
                    case 'O':
                    case 'C': {
                        const char* button = op.kind == 'A' ? "cmdApply" : op.kind == 'O' ? "cmdOK" : "cmdCancel";
                        bool can = usable(button) || op.kind != 'A';
                        f.Click(button);
                        if (!can || op.kind == 'C') break;
                        // Saved, then read back: the lists as shown.
                        std::vector<Row> shown = RowsOf(run, false), shownS = RowsOf(stop, false);
                        auto names = S::ParseCommaList(store.Read(S::RunList));
                        std::set<std::int32_t> checks;
                        for (const auto& e : S::ParseCommaList(store.Read(S::SelectedList)))
                            if (auto n = S::ToInt32(e)) checks.insert(*n);
                        std::vector<Row> back;
                        for (size_t r = 0; r < names.size(); ++r)
                            back.push_back({names[r], "", checks.count(static_cast<std::int32_t>(r)) > 0});
                        FUZZ_CHECK(back == shown, "run list shown " + Described(shown) + "\n  read back " + Described(back));
                        auto stopNames = S::ParseCommaList(store.Read(S::StopList));
                        auto stopChecked = S::ParseCommaList(store.Read(S::SelectedStopList));
                        std::vector<Row> backS;
                        for (const auto& n : stopNames) {
                            bool c = false;
                            for (const auto& k : stopChecked) c = c || h.locale.EqualsIgnoreCase(n, k);
                            backS.push_back({n, "", c});
                        }
                        // A list is written only when it changed since it was
                        // last applied or first shown; then a check reads back
                        // on every row of the name in any letter case, and the
                        // rows of one name shown alike must match.
                        bool same = shownS == savedStop || backS.size() == shownS.size();
                        for (size_t r = 0; shownS != savedStop && same && r < shownS.size(); ++r) {
                            bool alike = true;
                            for (const auto& o : shownS)
                                if (h.locale.EqualsIgnoreCase(o.name, shownS[r].name) && o.checked != shownS[r].checked)
                                    alike = false;
                            same = backS[r].name == shownS[r].name && (!alike || backS[r].checked == shownS[r].checked);
                        }
                        FUZZ_CHECK(same, "stop list shown " + Described(shownS) + "\n  read back " + Described(backS));
                        savedRun = shown, savedStop = shownS;
                        break;
                    }
                    default: break;
                }

                std::vector<Row> after = servicesOp ? RowsOf(stop, false) : RowsOf(run, true);
                FUZZ_CHECK(after == expected, std::string("after ") + op.kind + " " + Shown(op.name) + ": " +
                                                  Described(after) + "\n  expected " + Described(expected));
                // Stored values change only for the entry that was added or
                // edited, and the edited row's old command line when no other
                // row keeps that name.
                for (size_t j = 0; j < runBefore.size(); ++j) {
                    const std::string& name = runBefore[j].name;
                    if (S::IsMainValueName(name)) continue;
                    if (!entryName.empty() && RegFold(name) == RegFold(entryName)) continue;
                    auto now = h.Cells(name);
                    // The edited row's old command line goes (an empty name is the key's default value).
                    if (static_cast<int>(j) == editedRow) now[0] = cellsBefore[name][0];
                    FUZZ_CHECK(Harness::Same(cellsBefore[name], now),
                               std::string("after ") + op.kind + " " + Shown(op.name) + " the values of " + Shown(name) +
                                   " changed (command now " + Shown(now[0] ? now[0]->data : "<missing>") + ")");
                }
            }
        });
        halcfg::frmMain dialog(h.ui, h.plat, h.state);
        dialog.Show();
    }
    platform::SetCallbackErrorSink(nullptr);
    return 0;
}
