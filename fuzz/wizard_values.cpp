// The set-up wizard over a machine the input describes: the system's
// folders, the files, the drives, the registered defragmenter ("DefragPath"
// and "App Paths" of any type and content, reads that fail), the settings
// already stored and the rows already listed, and what the user does.
//
// What must hold: the folders it joins have one separator between folder
// and name, and a delete command only ever names a folder the system gave;
// the finders give "" for a value that cannot be read; a utility that is no
// longer found when Finish is pressed leaves its stored values as they were;
// every command written reads back the same, and run as the daemon runs it,
// starts the program the wizard found; Cancel writes nothing; the rows it
// adds are new, ticked and each listed once.
//
// Input, one line each:
//   p<digit> v<digit>   WinPlatform (1 95/98, 2 NT) and WINVER
//   o<major>.<minor>    the version the system reports; R the user holds
//                       the administrators' rights
//   W<folder> Y<folder> T<folder> I<folder>
//                       the Windows, system, temporary, Internet cache folder
//   e<name>=<value>     an environment variable
//   f<path> h<path> d<path>   a file, a hidden file, a folder
//   k<root>=<kind digit>      a drive
//   D<type><data>       DefragPath's default value; type as settings_script.h
//   A<program>=<type><data>   the default value of App Paths\<program>
//   s<name>=<text>      a value already in the settings key
//   r<name>             a row already in the run list
//   !d  DefragPath cannot be read        !a  no App Paths key can be read
//   -<path>             a file the machine loses while the wizard is open
//   ><actions>          the user: n Next, b Back, c Cancel, x the machine
//                       changes (the "-" files go, the "!" faults begin),
//                       u<i> s<i> g<i> v<i> toggle entry i of the utilities,
//                       scan, defragment, anti-virus list; default: Next x6
#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "common/basSettings.h"
#include "create_process_model.h"
#include "daemon/basRunPrograms.h"
#include "fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_registry.h"
#include "ui/memory/memory_ui.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"
#include "wizard/frmWizardEmailForms.h"

namespace S = basSettings;
namespace U = basUtilityWizard;
using fuzz::Shown;
using platform::RootKey;

namespace {

constexpr const char* kDefragKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr const char* kTempName = "Delete temporary files";
constexpr const char* kCacheName = "Delete temporary Internet files";
constexpr std::uint32_t kPlain = 0x20, kHidden = 0x22, kFolder = 0x10;
const char* const kUtilities[] = {U::kScanName, U::kDefragName, U::kVirusName, U::kBackupName};

// Text Windows can hold in a path: no control characters, none of "*?"<>|/,
// a colon only after a drive letter.
bool PathText(const std::string& p) {
    for (size_t i = 0; i < p.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        if (c < 0x20 || std::string_view("*?\"<>|/").find(static_cast<char>(c)) != std::string_view::npos ||
            (c == ':' && i != 1))
            return false;
    }
    return true;
}

// A folder as the system reports it: no trailing "\" unless it is a root.
std::string AsReported(std::string folder) {
    while (folder.size() > 1 && folder.back() == '\\' && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

// A folder and a name with exactly one "\" between them.
std::string Joined(std::string folder, const std::string& name) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\" + name;
}

std::string QuotedIfBlank(const std::string& s) { return s.find(' ') == std::string::npos ? s : '"' + s + '"'; }

std::string Folded(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

platform::RegData ValueOf(const std::string& typed) {
    static const std::map<char, std::uint32_t> kTypes{
        {'s', platform::kRegSz},     {'e', platform::kRegExpandSz}, {'m', platform::kRegMultiSz},
        {'b', platform::kRegBinary}, {'d', platform::kRegDword},    {'n', platform::kRegNone}};
    if (typed.empty()) return {platform::kRegSz, ""};
    auto t = kTypes.find(typed[0]);
    return {t == kTypes.end() ? platform::kRegSz : t->second, typed.substr(1)};
}

// The registry with the settings key's writes recorded and the machine
// keys' read faults switched on when the machine changes.
class WatchedRegistry : public platform::fake::FakeRegistry {
public:
    WatchedRegistry() {
        InjectFaults([this](Call call, const std::string& path, const std::string& name) {
            static const std::string kSettings = Folded(S::kSettingsKey), kDefrag = Folded(kDefragKey),
                                     kAppPaths = Folded(kAppPathsKey).substr(0, Folded(kAppPathsKey).size() - 1);
            if (path == kSettings && (call == Call::Set || call == Call::Delete)) writes.push_back(name);
            bool read = call == Call::Open || call == Call::Query;
            if (read && failDefrag && path == kDefrag) return 5;
            if (read && failAppPaths && path.rfind(kAppPaths, 0) == 0) return 5;
            return 0;
        });
    }
    std::optional<std::string> Setting(const std::string& name) const {
        auto v = Peek(RootKey::CurrentUser, S::kSettingsKey, name);
        if (!v) return std::nullopt;
        return std::to_string(v->type) + ":" + v->data;
    }
    std::vector<std::string> writes;
    bool failDefrag = false, failAppPaths = false;
};

struct Machine {
    std::int16_t winPlatform = 2, winVer = 5;
    std::vector<std::string> lost;
    bool failDefrag = false, failAppPaths = false;
    std::vector<std::string> rows;
    std::string actions = "nnnnnn";
};

std::string ListShown(const ui::ListView& list) {
    std::string out;
    for (int r = 0; r < list.RowCount(); ++r) out += Shown(list.GetItemText(r, 0)) + " ";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WatchedRegistry reg;
    platform::fake::FakeSystem sys;
    sys.drives.clear();
    Machine m;
    bool acted = false;
    for (const std::string& line : fuzz::Lines(data, size)) {
        if (line.empty()) continue;
        std::string rest = line.substr(1);
        size_t eq = rest.find('=');
        switch (line[0]) {
            case 'p': m.winPlatform = rest.empty() ? 0 : static_cast<std::int16_t>(rest[0] - '0'); break;
            case 'v': m.winVer = rest.empty() ? 0 : static_cast<std::int16_t>(rest[0] - '0'); break;
            case 'o': {
                char* end = nullptr;
                sys.version.major = static_cast<std::uint32_t>(std::strtoul(rest.c_str(), &end, 10));
                sys.version.minor = *end == '.' ? static_cast<std::uint32_t>(std::strtoul(end + 1, nullptr, 10)) : 0;
                break;
            }
            case 'R': sys.administrator = true; break;
            case 'W':
            case 'Y':
            case 'T':
            case 'I':
                if (!PathText(rest)) break;
                if (line[0] == 'W') sys.windowsDir = AsReported(rest);
                if (line[0] == 'Y') sys.systemDir = AsReported(rest);
                if (line[0] == 'T') sys.tempDir = AsReported(rest);
                if (line[0] == 'I') sys.shellFolders[platform::ShellFolderId::InternetCache] = AsReported(rest);
                break;
            case 'e':
                if (eq != std::string::npos && PathText(rest.substr(eq + 1))) sys.env[rest.substr(0, eq)] = rest.substr(eq + 1);
                break;
            case 'f':
            case 'h':
            case 'd':
                if (!rest.empty() && PathText(rest))
                    sys.files[rest] = line[0] == 'f' ? kPlain : line[0] == 'h' ? kHidden : kFolder;
                break;
            case 'k':
                if (eq != std::string::npos && eq > 0 && eq + 1 < rest.size() && sys.drives.size() < 8 &&
                    PathText(rest.substr(0, eq)))
                    sys.drives.push_back({rest.substr(0, eq), static_cast<platform::DriveKind>((rest[eq + 1] - '0') & 7)});
                break;
            case 'D': reg.Plant(RootKey::LocalMachine, kDefragKey, "", ValueOf(rest)); break;
            case 'A':
                if (eq != std::string::npos && eq > 0)
                    reg.Plant(RootKey::LocalMachine, kAppPathsKey + rest.substr(0, eq), "", ValueOf(rest.substr(eq + 1)));
                break;
            case 's':
                if (eq != std::string::npos && rest.find('\0') == std::string::npos)
                    reg.PlantString(RootKey::CurrentUser, S::kSettingsKey, rest.substr(0, eq), rest.substr(eq + 1));
                break;
            case 'r':
                if (m.rows.size() < 8) m.rows.push_back(rest);
                break;
            case '!':
                if (rest == "d") m.failDefrag = true;
                if (rest == "a") m.failAppPaths = true;
                break;
            case '-': m.lost.push_back(rest); break;
            case '>':
                if (!acted) m.actions.clear();
                acted = true;
                m.actions += rest;
                break;
            default: break;
        }
    }
    if (m.actions.size() > 64) m.actions.resize(64);

    // The folder helpers: one separator between folder and name.
    FUZZ_CHECK(U::WindowsFolder(sys) + "x" == Joined(sys.windowsDir, "x"), Shown(U::WindowsFolder(sys)));
    FUZZ_CHECK(U::SystemFolder(sys) + "x" == Joined(sys.systemDir, "x"), Shown(U::SystemFolder(sys)));

    U::WizardContext ctx{reg, sys, m.winPlatform, m.winVer, 1033, RootKey::CurrentUser};
    // A value that cannot be read is not found.
    {
        reg.failDefrag = true;
        FUZZ_CHECK(m.winPlatform != 2 || U::FindDefragmenter(ctx).empty(), "DefragPath unreadable, yet found");
        reg.failDefrag = false;
    }

    ui::memory::MemoryUi ui;
    wizard_forms::RegisterTemplates(ui);
    ui::memory::MemListView list;
    list.AddColumn("Application");
    list.AddColumn("Days Run");
    list.SetCheckBoxes();
    for (const auto& r : m.rows) list.AddRow(r);
    wizard::ListViewRunList runList(list, "SMTWHFS");

    std::map<std::string, std::optional<std::string>> before;
    for (const char* name : kUtilities) {
        before[name] = reg.Setting(name);
        before[S::DowName(name)] = reg.Setting(S::DowName(name));
    }
    std::map<std::string, std::string> found;  // each utility's program when Finish was pressed
    std::set<std::string> ticked;
    bool finishPressed = false;
    ui.OnModal("frmWizardEmail", [&](ui::memory::MemoryForm& f) {
        auto toggle = [&f](const char* name, size_t i) {
            auto& l = f.GetListBox(name);
            if (static_cast<int>(i) < l.ListCount()) l.SetSelected(static_cast<int>(i), !l.Selected(static_cast<int>(i)));
        };
        for (size_t i = 0; i < m.actions.size() && !f.closed; ++i) {
            char a = m.actions[i];
            size_t arg = i + 1 < m.actions.size() ? static_cast<unsigned char>(m.actions[i + 1]) % 8 : 0;
            switch (a) {
                case 'n':
                    if (f.GetButton("cmdNext").Caption() == "&Finish") {
                        finishPressed = true;
                        auto& u = f.GetListBox("lstUtilities");
                        for (int k = 0; k < u.ListCount(); ++k)
                            if (u.Selected(k)) ticked.insert(u.List(k));
                        found = {{U::kScanName, U::FindScanDisk(ctx)},
                                 {U::kDefragName, U::FindRunnableDefragmenter(ctx)},
                                 {U::kVirusName, U::FindVirusScanner(ctx)},
                                 {U::kBackupName, U::FindBackup(ctx)}};
                    }
                    f.Click("cmdNext");
                    break;
                case 'b': f.Click("cmdBack"); break;
                case 'c': f.Click("cmdCancel"); break;
                case 'x':
                    for (const auto& p : m.lost) sys.files.erase(p);
                    reg.failDefrag = m.failDefrag;
                    reg.failAppPaths = m.failAppPaths;
                    break;
                case 'u': toggle("lstUtilities", arg), ++i; break;
                case 's': toggle("lstDrivesScan", arg), ++i; break;
                case 'g': toggle("lstDrivesDefrag", arg), ++i; break;
                case 'v': toggle("lstDrivesAntiVirus", arg), ++i; break;
                default: break;
            }
        }
    });
    bool finished = U::RunSetupWizard(ui, nullptr, ctx, runList);
    reg.failDefrag = reg.failAppPaths = false;
    FUZZ_CHECK(finished == finishPressed, finished ? "finished without Finish" : "Finish did not finish");

    // Rows already listed stay first and as they were.
    for (size_t r = 0; r < m.rows.size(); ++r)
        FUZZ_CHECK(list.GetItemText(static_cast<int>(r), 0) == m.rows[r], "rows " + ListShown(list));
    if (!finished) {
        FUZZ_CHECK(reg.writes.empty(), "a cancelled wizard wrote " + Shown(reg.writes.front()));
        FUZZ_CHECK(list.RowCount() == static_cast<int>(m.rows.size()), "a cancelled wizard added rows");
        return 0;
    }
    FUZZ_CHECK(reg.Setting(S::RanQuickStart.name) == std::string("1:True"), "RanQuickStart");

    // Added rows: new names, each once, ticked.
    std::set<std::string> added;
    for (int r = static_cast<int>(m.rows.size()); r < list.RowCount(); ++r) {
        std::string name = list.GetItemText(r, 0);
        FUZZ_CHECK(std::find(m.rows.begin(), m.rows.end(), name) == m.rows.end() && added.insert(name).second,
                   "rows " + ListShown(list));
        FUZZ_CHECK(list.IsItemChecked(r), Shown(name) + " added unticked");
    }
    // The registry matches the wizard's ASCII names in any letter case.
    auto listedBefore = [&m](const char* name) {
        for (const auto& r : m.rows)
            if (Folded(r) == Folded(name)) return true;
        return false;
    };

    // What is written reads back the same through the daemon's reading.
    S::Store daemonStore(reg, RootKey::CurrentUser, basRegistry::Flavor::Daemon);
    for (const std::string& name : reg.writes) {
        auto v = reg.Peek(RootKey::CurrentUser, S::kSettingsKey, name);
        FUZZ_CHECK(v && v->type == platform::kRegSz && daemonStore.Text(name, "\x01") == v->data,
                   Shown(name) + " does not read back");
    }

    // The deleting commands: the shell in the Windows or system folder, and
    // a pattern inside the folder the system gave, never one without it.
    std::string shell = m.winPlatform == 1   ? QuotedIfBlank(Joined(sys.windowsDir, "command.com"))
                        : m.winPlatform == 2 ? QuotedIfBlank(Joined(sys.systemDir, "cmd.exe"))
                                             : std::string();
    std::string cache = sys.ShellFolder(platform::ShellFolderId::InternetCache);
    struct Cleanup {
        const char* name;
        std::string folder, pattern, tail;
    } cleanups[] = {{kTempName, sys.tempDir, "*.tmp", ""}, {kCacheName, cache, "*.*", " /q"}};
    for (const Cleanup& c : cleanups) {
        // Only a folder below a drive's root or a share, none the command
        // interpreter would still read, is deleted in, quoted.
        std::string folder = c.folder;
        while (!folder.empty() && folder.back() == '\\') folder.pop_back();
        bool absolute = (folder.size() > 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                         folder[2] == '\\') ||
                        (folder.rfind("\\\\", 0) == 0 && std::count(folder.begin(), folder.end(), '\\') >= 4);
        bool plainParts = folder.find("\\\\", 1) == std::string::npos && folder.find("\\.\\") == std::string::npos &&
                          folder.find("\\..\\") == std::string::npos && !folder.ends_with("\\.") &&
                          !folder.ends_with("\\..");
        bool safe = absolute && plainParts && folder.find_first_of("\"%!") == std::string::npos;
        bool offered = !listedBefore(c.name) && safe && !shell.empty();
        FUZZ_CHECK(added.count(c.name) == (offered ? 1u : 0u), Shown(c.name) + " and the folder " + Shown(c.folder));
        if (!offered) continue;
        std::string expected = shell + " /c del \"" + Joined(folder, c.pattern) + "\"" + c.tail;
        FUZZ_CHECK(reg.Setting(c.name) == "1:" + expected,
                   Shown(c.name) + " = " + Shown(reg.Setting(c.name).value_or("<missing>")) + ", expected " + Shown(expected));
    }

    // The utilities.
    platform::fake::FakeParts parts;
    auto& processes = parts.processes;
    platform::Platform plat = parts.With(reg, sys);
    for (const char* name : kUtilities) {
        if (!ticked.count(name)) continue;
        const std::string& program = found[name];
        if (listedBefore(name)) {
            // Listed already, in any letter case: its user's values stay.
            FUZZ_CHECK(reg.Setting(name) == before[name] && reg.Setting(S::DowName(name)) == before[S::DowName(name)],
                       Shown(name) + " was listed, yet its values changed to " +
                           Shown(reg.Setting(name).value_or("<missing>")));
            FUZZ_CHECK(!added.count(name), Shown(name) + " was listed, yet added");
            continue;
        }
        if (program.empty()) {
            // No longer found: what was stored stays, and no row comes.
            FUZZ_CHECK(reg.Setting(name) == before[name] && reg.Setting(S::DowName(name)) == before[S::DowName(name)],
                       Shown(name) + " was no longer found, yet its values changed to " +
                           Shown(reg.Setting(name).value_or("<missing>")));
            FUZZ_CHECK(!added.count(name), Shown(name) + " was no longer found, yet added");
            continue;
        }
        auto written = reg.Peek(RootKey::CurrentUser, S::kSettingsKey, name);
        if (!written || std::find(reg.writes.begin(), reg.writes.end(), name) == reg.writes.end()) continue;
        // Run as the daemon runs it, the command starts the program found
        // (one Windows can start by that name).
        if (!U::FileExists(sys, program) || fuzz::SearchProgram(sys, program) != program) continue;
        std::string command = written->data;
        processes.launched.clear();
        basRunPrograms::ExecCmd({plat, "C:\\Halcyra\\", 0}, command);
        FUZZ_CHECK(processes.launched.size() == 1, Shown(name) + " " + Shown(written->data) + " did not start");
        auto resolved = fuzz::ResolveCommandLine(sys, processes.launched.front());
        // Several drives for the defrag.exe of XP or Vista: one run each, by the interpreter.
        bool chained = name == std::string(U::kDefragName) && resolved &&
                       resolved->file == Joined(sys.systemDir, "cmd.exe") && written->data.find(program) != std::string::npos;
        FUZZ_CHECK(resolved && (resolved->file == program || chained),
                   Shown(name) + " " + Shown(written->data) + " started " + Shown(processes.launched.front()) +
                       ", which runs " + Shown(resolved ? resolved->file : "nothing") + ", not " + Shown(program));
    }
    return 0;
}
