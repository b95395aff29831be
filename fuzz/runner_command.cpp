// The runner's command lines: how a run-list entry's stored command becomes
// what is started. A variable at its start is expanded, a document is opened
// by its associated program, and the program is named by the file found for
// it. Checked against a model of Windows' own search (create_process_model.h):
// the file that runs is the one of the longest prefix of the command that
// names a program (a name without a folder found where the system keeps
// programs, not in the current folder), never a shorter one planted beside
// it; the arguments reach it as written; without such a file nothing starts,
// and a line is refused only when a longer prefix names a program that is
// gone or the prefix is cut from an existing folder's name; a document is
// the one argument of its program; what does not start is logged.
//
// Input, one line each:
//   f<path>  a file    h<path>  a hidden file    d<path>  a folder
//   e<name>=<value>    an environment variable
//   a<.ext>=<program>  the program a document of that extension opens with
//   x<code>            the exit code of every program started
//   q                  failures are not sent to the event log
//   ><command>         a run-list entry's stored command, run in turn
#include <map>

#include "create_process_model.h"
#include "daemon/basEventLog.h"
#include "daemon/basRunPrograms.h"
#include "fuzz_check.h"
#include "platform/fake/fake_event_log.h"
#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_service_manager.h"
#include "platform/fake/fake_session.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"
#include "services/basErrorCodes.h"

namespace S = basSettings;
using fuzz::Shown;

namespace {

constexpr const char* kAppPath = "C:\\Halcyra\\";
constexpr std::uint32_t kPlain = 0x20, kHidden = 0x22, kFolder = 0x10;

// A path Windows can hold: no control characters, none of "*?"<>|/, a colon
// only after a drive letter, no part ending in a blank or a dot (the system
// drops those), not ending in "\".
bool PossiblePath(const std::string& p) {
    if (p.empty() || p.back() == '\\') return false;
    for (size_t i = 0; i < p.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        if (c < 0x20 || std::string_view("*?\"<>|/").find(static_cast<char>(c)) != std::string_view::npos ||
            (c == ':' && i != 1))
            return false;
        if ((c == ' ' || c == '.') && (i + 1 == p.size() || p[i + 1] == '\\')) return false;
    }
    return true;
}

// Starts what the model finds, and fails as Windows does (2) otherwise.
class ModelProcesses : public platform::fake::FakeProcesses {
public:
    explicit ModelProcesses(platform::fake::FakeSystem& sys) : sys_(sys) {}

    std::unique_ptr<platform::Process> Launch(const std::string& commandLine, std::error_code& error) override {
        launched.push_back(commandLine);
        auto found = fuzz::ResolveCommandLine(sys_, commandLine);
        ran.push_back(found ? found->file : std::string());
        if (!found) {
            error.assign(2, std::system_category());
            return nullptr;
        }
        error.clear();
        return std::make_unique<Ended>(exitCode);
    }

    std::vector<std::string> ran;  // the file each launch ran, "" for none
    std::uint32_t exitCode = 0;

private:
    class Ended : public platform::Process {
    public:
        explicit Ended(std::uint32_t code) : code_(code) {}
        std::uint32_t Wait(std::uint32_t) override { return kEnded; }
        std::optional<std::uint32_t> ExitCode() override { return code_; }

    private:
        std::uint32_t code_;
    };
    platform::fake::FakeSystem& sys_;
};

// The command as the runner must see it: a leading %name% replaced by the
// variable's value when it has one; "%name" without a closing sign takes
// the rest of the line as the name.
std::string Expanded(platform::System& sys, const std::string& command) {
    if (command.empty() || command[0] != '%') return command;
    size_t close = command.find('%', 1);
    std::string name = command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    auto value = sys.Environment(name);
    if (!value || value->empty()) return command;
    return *value + (close == std::string::npos ? std::string() : command.substr(close + 1));
}

bool IsFileEntry(platform::System& sys, const std::string& path) {
    auto a = sys.FindFile(path);
    return a && !(*a & kFolder);
}

bool IsDocument(platform::System& sys, const std::string& line) {
    if (!IsFileEntry(sys, line)) return false;
    std::string tail = line.size() > 4 ? line.substr(line.size() - 4) : line;
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail != ".exe" && tail != ".com" && tail != ".bat" && tail != ".cmd";
}

// The longest prefix of `line` ending before a blank or a tab (or at its
// end) that names a program file, a name without a folder found where the
// system keeps programs (not in the current folder, which anyone may fill):
// the program the user meant, and its file.
struct Meant {
    std::string prefix, file;
};
std::optional<Meant> MeantProgram(platform::fake::FakeSystem& sys, const std::string& line) {
    for (size_t end = line.size(); end > 0; --end) {
        if (end < line.size() && !fuzz::IsCommandSeparator(line[end])) continue;
        std::string prefix = line.substr(0, end);
        if (auto file = fuzz::SearchProgram(sys, prefix, false)) return Meant{prefix, *file};
    }
    return std::nullopt;
}

bool EndsWithProgramExtension(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const char* ext : {".exe", ".com", ".bat", ".cmd"})
        if (s.size() >= 4 && s.compare(s.size() - 4, 4, ext) == 0) return true;
    return false;
}

// Why a line whose longest program prefix exists may still be refused: a
// longer prefix names a program that is gone, or the prefix is cut from the
// name of an existing folder that the line goes on into.
bool Refusable(platform::fake::FakeSystem& sys, const std::string& line, const Meant& meant) {
    for (size_t end = line.size(); end > meant.prefix.size(); --end)
        if ((end == line.size() || fuzz::IsCommandSeparator(line[end])) && EndsWithProgramExtension(line.substr(0, end)))
            return true;
    size_t slash = line.find('\\', meant.prefix.size() + 1);
    if (meant.prefix.size() == line.size() || slash == std::string::npos) return false;
    auto a = sys.FindFile(line.substr(0, slash));
    return a && (*a & kFolder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::fake::FakeRegistry reg;
    platform::fake::FakeSystem sys;
    platform::fake::FakeClock clock;
    platform::fake::FakeLocale locale;
    platform::fake::FakeShell shell;
    platform::fake::FakeWindowManager windows;
    ModelProcesses processes(sys);
    platform::fake::FakeShellHook hook;
    platform::fake::FakeEventLog eventLog;
    platform::fake::FakeFiles files;
    platform::fake::FakeServiceManager services{&clock};
    platform::fake::FakeSession session;
    platform::fake::FakeProcessList processList;
    platform::Platform plat{reg,      sys,   clock,    locale,   shell,   windows,    processes,
                            hook,     eventLog, files, services, session, processList};

    std::vector<std::string> commands;
    std::int16_t logEvents = 1;
    for (const std::string& line : fuzz::Lines(data, size)) {
        if (line.empty()) continue;
        std::string rest = line.substr(1);
        size_t eq = rest.find('=');
        switch (line[0]) {
            case 'f':
            case 'h':
            case 'd':
                if (PossiblePath(rest)) sys.files[rest] = line[0] == 'f' ? kPlain : line[0] == 'h' ? kHidden : kFolder;
                break;
            case 'e':
                if (eq != std::string::npos && rest.find('\0') == std::string::npos)
                    sys.env[rest.substr(0, eq)] = rest.substr(eq + 1);
                break;
            case 'a':
                if (eq != std::string::npos && PossiblePath(rest.substr(eq + 1)))
                    shell.associations[rest.substr(0, eq)] = rest.substr(eq + 1);
                break;
            case 'x': processes.exitCode = static_cast<std::uint32_t>(std::strtoul(rest.c_str(), nullptr, 10)); break;
            case 'q': logEvents = 0; break;
            case '>': commands.push_back(rest); break;
            default: break;
        }
    }
    if (commands.size() > 16) commands.resize(16);

    basRunPrograms::RunContext ctx{plat, kAppPath, logEvents};
    const std::string log = std::string(kAppPath) + basEventLog::kLogFileName;
    const std::string now = clock.GeneralDate(clock.Now());
    for (size_t i = 0; i < commands.size(); ++i) {
        std::string name = "p" + std::to_string(i);
        reg.PlantString(platform::RootKey::CurrentUser, S::kSettingsKey, name, commands[i]);
        // The daemon reads the command up to a NUL, as Windows stores it.
        const std::string command = commands[i].substr(0, commands[i].find('\0'));
        const std::string expanded = Expanded(sys, command);
        const std::string what = Shown(command) + " (expanded " + Shown(expanded) + ")";

        size_t launchesBefore = processes.launched.size(), eventsBefore = eventLog.entries.size();
        files.contents.erase(log);
        basRunPrograms::RunCheckedPrograms(ctx, {{name, "", true}}, true);
        FUZZ_CHECK(processes.launched.size() - launchesBefore <= 1, what + " started more than once");
        bool launched = processes.launched.size() > launchesBefore;
        std::string started = launched ? processes.launched.back() : std::string();
        std::string ran = launched ? processes.ran.back() : std::string();
        std::vector<std::string> lines;  // what the log must hold for this entry

        if (IsDocument(sys, expanded)) {
            std::error_code error;
            std::string program = shell.AssociatedProgram(expanded, error);
            if (program.empty()) {
                FUZZ_CHECK(!launched, what + " has no program, yet " + Shown(started) + " started");
                lines.push_back(now + ", \"" + expanded + "\", " + basErrorCodes::GetErrorText(1155));
            } else {
                FUZZ_CHECK(launched, what + " was not started with its program");
                // The program, quoted where it has a blank, and the document as its one argument.
                std::string token = program.find(' ') == std::string::npos ? program : '"' + program + '"';
                FUZZ_CHECK(started == token + " \"" + expanded + "\"", what + " started as " + Shown(started));
                auto file = fuzz::SearchProgram(sys, program);
                FUZZ_CHECK(ran == file.value_or(""), what + " ran " + Shown(ran) + " for " + Shown(program));
            }
        } else {
            // The program is the file found for the longest prefix that names
            // one, never a shorter prefix, never a file in the current folder;
            // without one nothing starts.
            std::optional<Meant> meant;
            if (!expanded.empty() && expanded[0] == '"') {
                size_t close = expanded.find('"', 1);
                std::string name = expanded.substr(1, close == std::string::npos ? std::string::npos : close - 1);
                if (auto file = fuzz::SearchProgram(sys, name, false))
                    meant = Meant{expanded.substr(0, close == std::string::npos ? expanded.size() : close + 1), *file};
            } else {
                meant = MeantProgram(sys, expanded);
            }
            if (!meant) {
                FUZZ_CHECK(!launched, what + " has no program, yet " + Shown(started) + " started");
            } else if (!launched) {
                FUZZ_CHECK(expanded[0] != '"' && Refusable(sys, expanded, *meant),
                           what + " was not started, though " + Shown(meant->file) + " is its program");
            } else {
                std::string args = expanded.substr(meant->prefix.size());
                FUZZ_CHECK(ran == meant->file, what + " ran " + Shown(ran) + " instead of " + Shown(meant->file));
                auto resolved = fuzz::ResolveCommandLine(sys, started);
                FUZZ_CHECK(resolved && resolved->rest == args,
                           what + " gave the arguments " + Shown(resolved ? resolved->rest : "") + ", not " + Shown(args));
            }
        }

        // Not started (the document aside): the line as expanded is logged.
        bool refused = !launched && !IsDocument(sys, expanded);
        std::int32_t code = refused ? -1 : !launched ? 0 : ran.empty() ? -1 : static_cast<std::int32_t>(processes.exitCode);
        if (refused || (launched && ran.empty()))
            lines.push_back("Didn't run \"" + (refused ? expanded : started) + "\" at " + now + " (check file existence).");
        if (code != 0)
            lines.push_back(now + "  Program " + (refused ? expanded : started) + " returned an error code of " + std::to_string(code) +
                            "; the message is:  " + basErrorCodes::GetErrorText(code));
        std::string expectedLog;
        for (const auto& l : lines) expectedLog += locale.AnsiEncode(l) + "\r\n";
        auto written = files.contents.find(log);
        std::string actualLog = written == files.contents.end() ? std::string() : written->second;
        FUZZ_CHECK(actualLog == expectedLog, what + " logged " + Shown(actualLog) + ", expected " + Shown(expectedLog));
        FUZZ_CHECK(eventLog.entries.size() - eventsBefore == (logEvents == 1 ? lines.size() : 0),
                   what + " and the event log");
    }
    return 0;
}
