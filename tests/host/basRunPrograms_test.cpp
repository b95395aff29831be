// The run step and the log on fake Windows: which rows run, what starts,
// and what lands in events.txt and the event log.
#include "daemon/basRunPrograms.h"

#include "support/daemon_fixture.h"

namespace {

using basRunPrograms::RunCheckedPrograms;
using basSettings::RunRow;
using Outcome = platform::fake::FakeProcesses::Outcome;

constexpr const char* kAppPath = "C:\\Halcyra\\";
constexpr const char* kNow = "12/8/2026 8:45:06 AM";

class RunProgramsTest : public testing_support::DaemonFixture {
protected:
    void SetUp() override {
        state.SettingsRoot = platform::RootKey::CurrentUser;
        Today(2026, 12, 8, 2);  // a Tuesday
        clock.now.hour = 8, clock.now.minute = 45, clock.now.second = 6;
        for (const char* f : {"scan", "a", "b", "c", "run"}) sys.files[std::string("C:\\bin\\") + f + ".exe"] = 0x20;
    }
    void Today(int y, int m, int d, int dayOfWeek) {
        clock.now.year = y, clock.now.month = m, clock.now.day = d, clock.now.dayOfWeek = dayOfWeek;
    }
    void Run(const std::vector<RunRow>& rows, std::int16_t logEvents = 1) {
        RunCheckedPrograms({plat, kAppPath, logEvents}, rows, true);
    }
    // Runs one checked entry with this command line; what was started.
    std::string Started(const std::string& command) {
        Put("p", command);
        processes.launched.clear();
        Run({{"p", "", true}});
        return processes.launched.empty() ? "<nothing>" : processes.launched.back();
    }
    std::vector<std::string> LogLines() {
        std::string text = files.contents[std::string(kAppPath) + "events.txt"];
        std::vector<std::string> lines;
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }
    std::string ResultLine(const std::string& command, const std::string& codeAndText) {
        return std::string(kNow) + "  Program " + command + " returned an error code of " + codeAndText;
    }
};

TEST_F(RunProgramsTest, WeekdayDigitsDecideTheDay) {
    struct Case { const char* days; int dayOfWeek; bool runs; } cases[] = {
        {"1234567", 3, true}, {"", 0, false}, {"", 6, false},
        {"71", 6, true}, {"71", 0, true}, {"71", 1, false}, {"71", 5, false},
    };
    Put("p", "C:\\bin\\scan.exe");
    for (const Case& c : cases) {
        Put("dowp", c.days);
        clock.now.dayOfWeek = c.dayOfWeek;
        processes.launched.clear();
        Run({{"p", "", true}});
        EXPECT_EQ(processes.launched.size(), c.runs ? 1u : 0u) << '"' << c.days << "\" on day " << c.dayOfWeek;
    }
}

TEST_F(RunProgramsTest, OncePerDayAcrossTheYearAndStampedEvenOnFailure) {
    Put("p", "C:\\bin\\scan.exe");
    Put("rop", "True");
    processes.otherwise.exitCode = 5;
    struct Step { int y, m, d, dow; bool runs; const char* stamp; } steps[] = {
        {2026, 12, 8, 2, true, "3412026"},    // never run before
        {2026, 12, 8, 2, false, "3412026"},   // the same day again
        {2026, 12, 31, 4, true, "3642026"},
        {2027, 1, 1, 5, true, "2027"},        // a new year, though its key is smaller
        {2027, 1, 1, 5, false, "2027"},
        {2027, 1, 2, 6, true, "12027"},
    };
    for (const Step& s : steps) {
        Today(s.y, s.m, s.d, s.dow);
        processes.launched.clear();
        Run({{"p", "", true}});
        EXPECT_EQ(processes.launched.size(), s.runs ? 1u : 0u) << s.y << "-" << s.m << "-" << s.d;
        EXPECT_EQ(Stored("lrp"), s.stamp);
    }
    EXPECT_EQ(LogLines().size(), 4u);  // every run failed with 5
}

TEST_F(RunProgramsTest, RowsInOrderCheckedOnlyAndOnlyWhenAsked) {
    Put("a", "C:\\bin\\a.exe"), Put("b", "C:\\bin\\b.exe"), Put("c", "C:\\bin\\c.exe");
    files.contents[std::string(kAppPath) + "events.txt"] = "earlier\r\n";
    processes.outcomes["C:\\bin\\a.exe"].exitCode = 1;
    processes.outcomes["C:\\bin\\c.exe"].exitCode = 2;
    std::vector<RunRow> rows{{"c", "", true}, {"b", "", false}, {"a", "", true}};
    RunCheckedPrograms({plat, kAppPath, 1}, rows, false);
    EXPECT_TRUE(processes.launched.empty());
    Run(rows);
    EXPECT_EQ(processes.launched, (std::vector<std::string>{"C:\\bin\\c.exe", "C:\\bin\\a.exe"}));
    EXPECT_EQ(processes.waits, (std::vector<std::uint32_t>{300000, 300000}));
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "earlier", ResultLine("C:\\bin\\c.exe", "2; the message is:  The system cannot find the file specified."),
                  ResultLine("C:\\bin\\a.exe", "1; the message is:  Incorrect function.")}));
}

TEST_F(RunProgramsTest, ResultLinesByExitCode) {
    struct Case { std::optional<std::uint32_t> exitCode; std::string logged; } cases[] = {
        {0, ""},
        {259, "259; the message is:  No more data is available."},
        {std::nullopt, "259; the message is:  No more data is available."},  // still running, left so
        {0xC0000005, "-1073741819; the message is:  "},
    };
    for (const Case& c : cases) {
        files.contents.clear();
        processes.outcomes["C:\\bin\\run.exe"].exitCode = c.exitCode;
        Started("C:\\bin\\run.exe");
        EXPECT_EQ(LogLines(), c.logged.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{ResultLine("C:\\bin\\run.exe", c.logged)});
    }
}

TEST_F(RunProgramsTest, AFailedStartGivesBothLinesInBothLogs) {
    sys.files["C:\\Tools\\prüf.exe"] = 0x20;
    processes.outcomes["C:\\Tools\\prüf.exe /a"].starts = false;
    Started("C:\\Tools\\prüf.exe /a");
    std::vector<std::string> expected{
        std::string("Didn't run \"C:\\Tools\\prüf.exe /a\" at ") + kNow + " (check file existence).",
        ResultLine("C:\\Tools\\prüf.exe /a", "-1; the message is:  ")};
    EXPECT_EQ(LogLines().size(), 2u);
    // The file holds ANSI bytes.
    EXPECT_EQ(files.contents[std::string(kAppPath) + "events.txt"],
              locale.AnsiEncode(expected[0]) + "\r\n" + locale.AnsiEncode(expected[1]) + "\r\n");
    ASSERT_EQ(eventLog.entries.size(), 2u);
    // Warnings, each kind with its own identifier and fields, the whole line
    // last: not started, then its code (which has no text).
    const std::uint32_t ids[] = {267u, 268u};
    const std::vector<std::string> insertions[] = {{"C:\\Tools\\prüf.exe /a", expected[0]},
                                                   {"C:\\Tools\\prüf.exe /a", "-1", "", expected[1]}};
    for (size_t i = 0; i < 2; ++i) {
        const auto& [source, r] = eventLog.entries[i];
        EXPECT_EQ(std::tie(source, r.type, r.category, r.id, r.insertions, r.data),
                  std::make_tuple("Halcyra", 2, 0, ids[i], insertions[i], locale.AnsiEncode(expected[i]) + '\0'));
    }
}

// The other two kinds: a code with the system's text for it, and a
// failure inside the start (a document nothing opens).
TEST_F(RunProgramsTest, AFailedProgramsEntryHoldsItsFields) {
    sys.files["C:\\Docs\\plan.xyz"] = 0x20;
    processes.outcomes["C:\\bin\\run.exe"].exitCode = 5;
    struct Case { const char* command; std::uint32_t id; std::vector<std::string> fields; } cases[] = {
        {"C:\\bin\\run.exe", 268, {"C:\\bin\\run.exe", "5", "Access is denied."}},
        {"C:\\Docs\\plan.xyz", 269,
         {"C:\\Docs\\plan.xyz", "No application is associated with the specified file for this operation."}},
    };
    for (const Case& c : cases) {
        files.contents.clear();
        eventLog.entries.clear();
        Started(c.command);
        ASSERT_EQ(LogLines().size(), 1u) << c.command;
        ASSERT_EQ(eventLog.entries.size(), 1u) << c.command;
        std::vector<std::string> insertions = c.fields;
        insertions.push_back(LogLines()[0]);
        EXPECT_EQ(eventLog.entries[0].record.id, c.id);
        EXPECT_EQ(eventLog.entries[0].record.insertions, insertions);
    }
}

TEST_F(RunProgramsTest, CommandLineAsStarted) {
    sys.env["windir"] = "C:\\WINNT";
    sys.env["ProgramFiles"] = "C:\\Program Files";
    for (const char* f : {"C:\\Program.exe", "C:\\Program Files\\Scan\\scan32.exe", "C:\\Docs\\read me.txt",
                          "C:\\Docs\\notes.TXT", "C:\\Docs\\run.BAT", "C:\\Program Files\\Ed\\ed.exe",
                          "C:\\WINNT\\notepad.exe", "C:\\WINNT\\system32\\notepad.exe", "C:\\WINNT\\system32\\x.exe",
                          "C:\\WINNT\\system32\\defrag.exe"})
        sys.files[f] = 0x20;
    shell.associations[".txt"] = "C:\\Program Files\\Ed\\ed.exe";
    struct Case { const char* command; const char* started; } cases[] = {
        {"%windir%\\notepad.exe", "C:\\WINNT\\notepad.exe"},
        {"x.exe %windir%", "C:\\WINNT\\system32\\x.exe %windir%"},
        // The planted C:\Program.exe never runs in place of the real program.
        {"C:\\Program Files\\Scan\\scan32.exe C: D:", "\"C:\\Program Files\\Scan\\scan32.exe\" C: D:"},
        {"%ProgramFiles%\\Scan\\scan32 /all", "\"C:\\Program Files\\Scan\\scan32.exe\" /all"},
        {"C:\\Program Files\\Scan\\scan32.exe", "\"C:\\Program Files\\Scan\\scan32.exe\""},
        {"C:\\Program Files\\Scan\\scan32.exe\t/all", "\"C:\\Program Files\\Scan\\scan32.exe\"\t/all"},
        {"\"C:\\Program Files\\Scan\\scan32.exe\" C:", "\"C:\\Program Files\\Scan\\scan32.exe\" C:"},
        // Without a folder: the file the system's search finds, by its path.
        {"notepad", "C:\\WINNT\\system32\\notepad.exe"},
        {"defrag.exe C:", "C:\\WINNT\\system32\\defrag.exe C:"},
        {"\"notepad\" a b", "\"C:\\WINNT\\system32\\notepad.exe\" a b"},
        {"C:\\Docs\\read me.txt", "\"C:\\Program Files\\Ed\\ed.exe\" \"C:\\Docs\\read me.txt\""},
        {"C:\\Docs\\notes.TXT", "\"C:\\Program Files\\Ed\\ed.exe\" \"C:\\Docs\\notes.TXT\""},
        {"C:\\Docs\\run.BAT", "C:\\Docs\\run.BAT"},
    };
    for (const Case& c : cases) EXPECT_EQ(Started(c.command), c.started) << c.command;
    EXPECT_TRUE(LogLines().empty());
    // A document without a program: one line, nothing started.
    sys.files["C:\\Docs\\a.xyz"] = 0x20;
    EXPECT_EQ(Started("C:\\Docs\\a.xyz"), "<nothing>");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{std::string(kNow) + ", \"C:\\Docs\\a.xyz\", No application is "
                                                                        "associated with the specified file for this operation."}));
}

// When no file is there for the program, nothing starts where Windows would
// try shorter prefixes or other folders: the planted C:\Program.exe stays
// idle, and the current folder is not searched.
TEST_F(RunProgramsTest, AMissingProgramIsNotGuessedAt) {
    sys.env["ProgramFiles"] = "C:\\Program Files";
    for (const char* f : {"C:\\Program.exe", "C:\\Program Files\\Tool", "C:\\Work\\gone.exe"}) sys.files[f] = 0x20;
    for (const char* d : {"C:\\Program Files", "C:\\Docs\\folder.txt", "C:\\WINNT\\system32\\folder.exe"})
        sys.files[d] = 0x10;
    sys.currentDirectory = "C:\\Work";
    const char* commands[] = {
        "C:\\Program Files\\Gone\\x.exe",    "%ProgramFiles%\\Gone\\x.exe /a", "\"C:\\Program Files\\Gone\\x.exe\" /a",
        "C:\\Program Files\\Tool /a",        "%UNDEFINED%\\x.exe",             "gone.exe /a",
        "C:\\Docs\\folder.txt",              "folder",                         "",
    };
    for (const char* command : commands) {
        files.contents.clear();
        EXPECT_EQ(Started(command), "<nothing>") << command;
        std::string shown = std::string(command) == "%ProgramFiles%\\Gone\\x.exe /a" ? "C:\\Program Files\\Gone\\x.exe /a"
                                                                                       : command;
        EXPECT_EQ(LogLines(), (std::vector<std::string>{
                                  "Didn't run \"" + shown + "\" at " + kNow + " (check file existence).",
                                  ResultLine(shown, "-1; the message is:  ")}))
            << command;
    }
}

TEST_F(RunProgramsTest, LogSinksFailQuietlyOrStayOff) {
    Put("a", "C:\\bin\\a.exe"), Put("b", "C:\\bin\\b.exe");
    processes.otherwise.exitCode = 3;
    std::vector<RunRow> rows{{"a", "", true}, {"b", "", true}};
    files.readOnly.insert(kAppPath);
    eventLog.status.assign(1722, std::system_category());
    Run(rows);
    EXPECT_EQ(processes.launched.size(), 2u);  // the run goes on
    EXPECT_TRUE(files.contents.empty());
    files.readOnly.clear();
    eventLog.status.clear();
    Run(rows, 0);
    EXPECT_EQ(LogLines().size(), 2u);
    EXPECT_TRUE(eventLog.entries.empty());
}

}  // namespace
