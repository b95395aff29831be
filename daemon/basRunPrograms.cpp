#include "daemon/basRunPrograms.h"

#include <exception>
#include <optional>
#include <utility>

#include "daemon/basEventLog.h"
#include "services/basErrorCodes.h"

namespace basRunPrograms {

namespace {

namespace S = basSettings;

std::string DateTimeNow(platform::Platform& p) { return p.clock.GeneralDate(p.clock.Now()); }

void Log(const RunContext& c, basEventLog::EventId id, std::vector<std::string> fields, const std::string& line) {
    basEventLog::Record(c.plat, c.logFolder, c.logEvents, basEventLog::kWarningType, id, std::move(fields), line);
}

// Found by a search that counts hidden and system files, not folders.
bool IsFile(platform::System& sys, const std::string& path) {
    constexpr std::uint32_t kDirectory = 0x10;
    auto attributes = sys.FindFile(path);
    return attributes && !(*attributes & kDirectory);
}

std::string LowerAscii(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

std::string QuoteIfBlank(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

// Only a variable at the very start is expanded; an undefined one stays.
void ExpandLeadingVariable(platform::System& sys, std::string& cmdline) {
    if (cmdline.empty() || cmdline[0] != '%') return;
    size_t end = cmdline.find('%', 1);
    std::string name = cmdline.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    std::string rest = end == std::string::npos ? std::string() : cmdline.substr(end + 1);
    auto value = sys.Environment(name);
    if (value && !value->empty()) cmdline = *value + rest;
}

// A whole command line that names a file other than a program: a document.
bool IsDocument(platform::System& sys, const std::string& cmdline) {
    if (!IsFile(sys, cmdline)) return false;
    std::string ext = LowerAscii(cmdline.size() > 4 ? cmdline.substr(cmdline.size() - 4) : cmdline);
    return ext != ".cmd" && ext != ".bat" && ext != ".com" && ext != ".exe";
}

bool HasFolder(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

// The file Windows would start for a program name: a name without an
// extension gets ".exe" and only so; a name without a folder is searched
// for as the system searches. Nothing when there is no such file.
std::optional<std::string> ProgramFile(platform::System& sys, const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (!HasFolder(name)) return sys.FindOnSearchPath(name);
    size_t lastPart = name.find_last_of("\\/:") + 1;
    std::string file = name.find('.', lastPart) == std::string::npos ? name + ".exe" : name;
    if (!IsFile(sys, file)) return std::nullopt;
    return file;
}

bool EndsWithProgramExtension(const std::string& name) {
    std::string ext = LowerAscii(name.size() > 4 ? name.substr(name.size() - 4) : name);
    return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".cmd";
}

// The command line with its program named by a file that exists, or
// nothing. Left to itself Windows tries each shorter prefix of an unquoted
// path with blanks first ("C:\Program.exe" for "C:\Program Files\..."), and
// a name without a folder in the current folder before the system's: a file
// planted there would run, and would run in place of a program that is gone.
// So the program is the longest prefix that names an existing file, and it
// goes to Windows as that file's path, quoted where it holds a blank. A
// shorter prefix is no program when the longer one ends in a program's
// extension (that program is gone) or when it is cut from the name of an
// existing folder ("C:\Program" of "C:\Program Files\..."). Windows ends such
// a prefix at a tab as well as at a blank.
std::optional<std::string> ProgramLine(platform::System& sys, const std::string& cmdline) {
    constexpr const char* kSeparators = " \t";
    if (cmdline.empty()) return std::nullopt;
    if (cmdline[0] == '"') {
        size_t close = cmdline.find('"', 1);
        auto file = ProgramFile(sys, cmdline.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        if (!file) return std::nullopt;
        return "\"" + *file + "\"" + (close == std::string::npos ? std::string() : cmdline.substr(close + 1));
    }
    for (size_t end = cmdline.size(); end != std::string::npos && end > 0;
         end = cmdline.find_last_of(kSeparators, end - 1)) {
        std::string prefix = cmdline.substr(0, end);
        if (prefix.back() == ' ' || prefix.back() == '\t') continue;
        auto file = ProgramFile(sys, prefix);
        if (file && end < cmdline.size()) {
            size_t folderEnd = cmdline.find('\\', end + 1);
            std::string folder = folderEnd == std::string::npos ? std::string() : cmdline.substr(0, folderEnd);
            auto attributes = folder.empty() ? std::nullopt : sys.FindFile(folder);
            if (attributes && (*attributes & 0x10)) return std::nullopt;
        }
        if (file) {
            // Left as written where Windows cannot take another file for it.
            if (*file == prefix && prefix.find_first_of(kSeparators) == std::string::npos) return cmdline;
            return QuoteIfBlank(*file) + cmdline.substr(end);
        }
        if (EndsWithProgramExtension(prefix)) return std::nullopt;
    }
    return std::nullopt;
}

std::int32_t FailedInside(const RunContext& c, const std::string& cmdline, const std::string& description) {
    std::string line = DateTimeNow(c.plat) + ", \"" + cmdline + "\", " + description;
    Log(c, basEventLog::kProgramError, {cmdline, description}, line);
    return 0;
}

std::string Describe(const std::error_code& error) {
    std::string text = basErrorCodes::GetErrorText(error.value());
    return text.empty() ? "Error " + std::to_string(error.value()) : text;
}

std::int32_t DidNotRun(const RunContext& c, const std::string& cmdline) {
    std::string line = "Didn't run \"" + cmdline + "\" at " + DateTimeNow(c.plat) + " (check file existence).";
    Log(c, basEventLog::kProgramNotStarted, {cmdline}, line);
    return -1;  // what the failed wait on no process gives
}

void RunAndLog(const RunContext& c, const std::string& name, std::string command) {
    if (c.beforeProgram) c.beforeProgram(name);
    std::int32_t code = ExecCmd(c, command);
    if (code == 0) return;
    const std::string text = basErrorCodes::GetErrorText(code);
    std::string line = DateTimeNow(c.plat) + "  " + "Program " + command + " returned an error code of " +
                       std::to_string(code) + "; the message is:  " + text;
    Log(c, basEventLog::kProgramFailed, {command, std::to_string(code), text}, line);
}

}  // namespace

std::int32_t ExecCmd(const RunContext& c, std::string& cmdline) {
    platform::Platform& p = c.plat;
    try {
        ExpandLeadingVariable(p.system, cmdline);
        if (IsDocument(p.system, cmdline)) {
            std::error_code error;
            std::string program = p.shell.AssociatedProgram(cmdline, error);
            if (!error && program.empty()) error.assign(1155, std::system_category());  // none associated
            if (error) return FailedInside(c, cmdline, Describe(error));
            cmdline = QuoteIfBlank(program) + " \"" + cmdline + "\"";
        } else if (auto line = ProgramLine(p.system, cmdline)) {
            cmdline = *line;
        } else {
            return DidNotRun(c, cmdline);
        }
        std::error_code error;
        std::unique_ptr<platform::Process> process = p.processes.Launch(cmdline, error);
        if (!process) return DidNotRun(c, cmdline);
        std::uint32_t code = process->Wait(kWaitMilliseconds);
        if (auto exitCode = process->ExitCode()) code = *exitCode;
        // The code as the system reports it: a crash's 0xC0000005 reads -1073741819.
        return static_cast<std::int32_t>(code);
    } catch (const std::exception& e) {
        return FailedInside(c, cmdline, e.what());
    }
}

void RunCheckedPrograms(const RunContext& c, const std::vector<S::RunRow>& rows, bool runThisFirst) {
    if (!runThisFirst) return;
    S::Store store(c.plat.registry, c.settingsRoot, basRegistry::Flavor::Daemon);
    for (const S::RunRow& row : rows) {
        if (!row.checked) continue;
        std::string command = store.Text(row.name, "");
        platform::LocalTime now = c.plat.clock.Now();
        if (!S::IsDueOnWeekday(store.Text(S::DowName(row.name), S::kAllDays), now.dayOfWeek + 1)) continue;
        if (!store.Boolean(S::RunOnceName(row.name), false)) {
            RunAndLog(c, row.name, command);
            continue;
        }
        std::int32_t stamp = S::DayKey(now);
        if (!S::IsDueOnce(stamp, store.Long(S::LastRunName(row.name), 0))) continue;
        RunAndLog(c, row.name, command);
        // Marked as run even when it failed or still runs.
        store.Write(S::LastRunName(row.name), std::to_string(stamp));
    }
}

}  // namespace basRunPrograms
