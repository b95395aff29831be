// The daemon and the applet on one settings key, their steps interleaved as
// a user at both would make them: the daemon starts and its dialog opens,
// the applet adds, removes and ticks programs and applies, the daemon's
// dialog ticks and is cancelled, in any order. Whatever the order, no entry
// the applet stored and did not remove is lost from "RunList", no entry of
// the key as first read is lost unless the applet removed it, and a value
// neither program could read stays byte for byte as it was.
//
// Input, one line each:
//   s<name>=<text>  a value already in the key     t<name>  one of a type
//                                                            neither reads
//   >a<name>  the applet adds a program of that name    >r<row>  removes a row
//   >k<row>   the applet ticks or unticks a row         >A Apply   >O OK
//   >s  the daemon's dialog from the tray   >K<row> it ticks or unticks a row
//   >c  the daemon's Cancel
#include <map>
#include <set>

#include "applet/AppletState.h"
#include "applet/frmMain.h"
#include "applet/halcfgForms.h"
#include "common/basSettings.h"
#include "common/basTrayIcon.h"
#include "daemon_harness.h"
#include "fuzz_check.h"
#include "platform/callback_guard.h"

namespace S = basSettings;
using fuzz::Shown;
using platform::RootKey;
using ui::memory::MemoryForm;

namespace {

struct Op {
    char kind = 0;
    int row = 0;
    std::string name;
};

std::string Fold(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Applet : platform::fake::FakeParts {
    explicit Applet(platform::fake::FakeRegistry& registry) : reg(registry) {
        applet_forms::RegisterTemplates(ui);
        state.LibraryFolder = "C:\\Program Files\\Halcyra\\";
    }
    platform::fake::FakeRegistry& reg;
    platform::fake::FakeSystem sys;
    platform::Platform plat = With(reg, sys);
    ui::memory::MemoryUi ui;
    halcfg::AppletState state;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::SetCallbackErrorSink([](const std::string& what) {
        fuzz::Fail(__FILE__, __LINE__, "no exception reaches the system", Shown(what));
    });
    platform::fake::FakeRegistry reg;
    reg.PlantString(RootKey::CurrentUser, S::kSettingsKey, S::RanQuickStart.name, "True");
    std::map<std::string, platform::RegData> unreadable;  // by folded name
    std::vector<Op> ops;
    for (const std::string& line : fuzz::Lines(data, size)) {
        if (line.size() < 2 || line.find('\0') != std::string::npos) continue;
        std::string rest = line.substr(1);
        size_t eq = rest.find('=');
        if (line[0] == 's' && eq != std::string::npos && Fold(rest.substr(0, eq)) != Fold(S::Admin.name)) {
            reg.PlantString(RootKey::CurrentUser, S::kSettingsKey, rest.substr(0, eq), rest.substr(eq + 1));
            unreadable.erase(Fold(rest.substr(0, eq)));
        } else if (line[0] == 't' && Fold(rest) != Fold(S::Admin.name)) {
            platform::RegData dword{platform::kRegDword, std::string("\1\0\0\0", 4)};
            reg.Plant(RootKey::CurrentUser, S::kSettingsKey, rest, dword);
            unreadable[Fold(rest)] = dword;
        } else if (line[0] == '>' && ops.size() < 32) {
            Op op{rest[0], rest.size() > 1 ? static_cast<unsigned char>(rest[1]) : 0, rest.substr(1)};
            ops.push_back(op);
        }
    }
    S::Store first(reg, RootKey::CurrentUser);
    S::RunListRead read = S::ReadRunListChecks(first);

    fuzz::DaemonHarness daemon(reg);
    daemon.Load("");
    Applet applet(reg);

    std::set<std::string> added, removed;  // by the applet, folded
    auto daemonStep = [&](const Op& op) {
        auto& list = static_cast<ui::ListView&>(daemon.main->lsvRun);
        switch (op.kind) {
            case 's': daemon.main->Tray_MouseMessage(static_cast<int>(basTrayIcon::kMouseDoubleClick)); break;
            case 'K':
                if (list.RowCount() == 0 || !daemon.form->visible) break;
                if (list.IsItemChecked(op.row % list.RowCount())) list.UncheckItem(op.row % list.RowCount());
                else list.CheckItem(op.row % list.RowCount());
                break;
            case 'c':
                if (daemon.form->visible) daemon.form->Click("cmdCancel");
                break;
            default: break;
        }
    };
    size_t next = 0;
    for (int showing = 0; showing < 4 && next < ops.size(); ++showing) {
        applet.ui.OnModal("frmMain", [&](MemoryForm& f) {
            auto& run = f.GetListView("lsvRun");
            f.GetTab("SSTab1").SelectTab(0);
            f.Click("SSTab1");
            while (next < ops.size() && !f.closed) {
                const Op op = ops[next++];
                int row = run.RowCount() > 0 ? op.row % run.RowCount() : -1;
                switch (op.kind) {
                    case 'a': {
                        int before = run.RowCount();
                        applet.ui.OnModal("frmProgramSelection", [&op](MemoryForm& e) {
                            e.Type("txtDisplayName", op.name);
                            e.Type("txtProgram", "x.exe");
                            e.Click("cmdOK");
                            if (!e.closed) e.RequestClose();
                        });
                        f.Click("cmdAdd");
                        if (run.RowCount() > before) {
                            added.insert(Fold(op.name));
                            removed.erase(Fold(op.name));
                        }
                        break;
                    }
                    case 'r':
                        if (row < 0) break;
                        run.SelectItem(row);
                        {
                            std::string name = run.GetItemText(row, 0);
                            int before = run.RowCount();
                            f.Click("cmdRemove");
                            if (run.RowCount() < before) {
                                removed.insert(Fold(name));
                                added.erase(Fold(name));
                            }
                        }
                        break;
                    case 'k':
                        if (row < 0 || !run.Enabled()) break;
                        if (run.IsItemChecked(row)) run.UncheckItem(row);
                        else run.CheckItem(row);
                        f.MouseDown("lsvRun", ui::MouseEvent{});
                        break;
                    case 'A': f.Click("cmdApply"); break;
                    case 'O': f.Click("cmdOK"); break;
                    default: daemonStep(op); break;
                }
            }
            if (!f.closed) f.Click("cmdOK");
        });
        halcfg::frmMain dialog(applet.ui, applet.plat, applet.state);
        dialog.Show();
    }
    platform::SetCallbackErrorSink(nullptr);

    // What neither could read stays, except what an entry the applet added
    // stores under its own names.
    auto entryValue = [&](const std::string& folded) {
        for (const auto& name : added)
            for (const std::string& v : {name, Fold(S::DowName(name)), Fold(S::RunOnceName(name))})
                if (v == folded) return true;
        return false;
    };
    for (const auto& [name, value] : unreadable) {
        if (entryValue(name)) continue;
        auto now = reg.Peek(RootKey::CurrentUser, S::kSettingsKey, name);
        FUZZ_CHECK(now && now->type == value.type && now->data == value.data, Shown(name) + " was changed");
    }
    // Entries: what the applet stored, and what was first read, unless removed.
    S::Store store(reg, RootKey::CurrentUser);
    S::RunListRead now = S::ReadRunListChecks(store);
    if (!read.rows || !read.selectedReadable || !now.rows) return 0;
    std::set<std::string> stored;
    for (const auto& r : *now.rows) stored.insert(Fold(r.name));
    std::set<std::string> expected = added;
    for (const auto& r : *read.rows)
        if (!removed.count(Fold(r.name))) expected.insert(Fold(r.name));
    for (const auto& name : expected)
        FUZZ_CHECK(stored.count(name), Shown(name) + " is not in " + Shown(store.Read(S::RunList)));
    return 0;
}
