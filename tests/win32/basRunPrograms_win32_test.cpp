// The runner with real processes, files, associations and the event log.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/basRegistry.h"
#include "daemon/basEventLog.h"
#include "daemon/basRunPrograms.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_util.h"

namespace {

using platform::win32::Narrow;
using platform::win32::ToAnsi;
using platform::win32::Widen;

class RunProgramsWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir = Narrow(std::wstring(tmp)) + "halcyra run " + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryW(Widen(dir).c_str(), nullptr);
        tool = testutil::ProgramFolder() + "exit_with.exe";
        GetLocalTime(&from);
    }
    void TearDown() override {
        HKEY k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Settings", 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
            for (const std::string& name : entries) RegDeleteValueW(k, Widen(name).c_str());
            RegCloseKey(k);
        }
        std::error_code ignored;
        std::filesystem::remove_all(Widen(dir), ignored);
    }
    void Entry(const std::string& name, const std::string& command) {
        basRegistry::SaveString(win.registry, platform::RootKey::CurrentUser, basSettings::kSettingsKey, name,
                                command);
        entries.push_back(name);
        rows.push_back({name, "", true});
    }
    std::string Log() {
        std::ifstream in(Widen(dir + "events.txt").c_str(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // The log, each date-time of the seconds since SetUp written "<now>".
    std::string LogAsRun() {
        std::string log = Log();
        SYSTEMTIME to;
        GetLocalTime(&to);
        FILETIME f, t;
        SystemTimeToFileTime(&from, &f);
        SystemTimeToFileTime(&to, &t);
        auto ticks = [](FILETIME x) { return (ULONGLONG(x.dwHighDateTime) << 32 | x.dwLowDateTime) / 10000000; };
        for (ULONGLONG at = ticks(f); at <= ticks(t); ++at) {
            FILETIME ft{DWORD(at * 10000000), DWORD(at * 10000000 >> 32)};
            SYSTEMTIME st;
            FileTimeToSystemTime(&ft, &st);
            std::string d = ToAnsi(win.clock.GeneralDate(
                {st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond}));
            for (size_t p; (p = log.find(d)) != std::string::npos;) log.replace(p, d.size(), "<now>");
        }
        return log;
    }
    static std::string Result(const std::string& command, const std::string& tail) {
        return "<now>  Program " + command + " returned an error code of " + tail + "\r\n";
    }

    platform::win32::Win32Platform win;
    std::string dir, tool;
    SYSTEMTIME from;
    std::vector<std::string> entries;
    std::vector<basSettings::RunRow> rows;
};

TEST_F(RunProgramsWin32, ResultLinesFollowTheFilesEarlierLines) {
    { std::ofstream(Widen(dir + "events.txt").c_str(), std::ios::binary) << "earlier line\r\n"; }
    std::string failing = tool + " 3 é", crashing = tool + " 0xC0000005";
    Entry("HalcyraTest fails", failing);
    Entry("HalcyraTest succeeds", tool + " 0");
    Entry("HalcyraTest crashes", crashing);
    basRunPrograms::RunCheckedPrograms({win.plat, dir, 0}, rows, true);
    EXPECT_EQ(LogAsRun(), ToAnsi("earlier line\r\n" +
                                 Result(failing, "3; the message is:  The system cannot find the path specified.") +
                                 Result(crashing, "-1073741819; the message is:  ")));
}

TEST_F(RunProgramsWin32, VariableAtTheStart) {
    std::string windir = win.system.Environment("windir").value_or("?");
    std::string cmd = "%windir%\\system32\\cmd.exe /c exit 5", undefined = "%HALCYRA_UNDEFINED%\\x.exe";
    Entry("HalcyraTest windir", cmd);
    Entry("HalcyraTest undefined", undefined);
    basRunPrograms::RunCheckedPrograms({win.plat, dir, 0}, rows, true);
    EXPECT_EQ(LogAsRun(), Result(windir + "\\system32\\cmd.exe /c exit 5", "5; the message is:  Access is denied.") +
                              "Didn't run \"" + undefined + "\" at <now> (check file existence).\r\n" +
                              Result(undefined, "-1; the message is:  "));
}

// A program under a folder with a blank is gone; a file planted at the
// prefix before the blank ("Gone.exe" for "Gone Tool\x.exe") is what
// Windows itself would start for the line. The runner starts nothing and
// says so.
TEST_F(RunProgramsWin32, AProgramThatIsGoneIsNotGuessedAt) {
    ASSERT_TRUE(CopyFileW(Widen(tool).c_str(), Widen(dir + "Gone.exe").c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(Widen(dir + "Gone Tool").c_str(), nullptr));
    std::string withExtension = dir + "Gone Tool\\x.exe 7", without = dir + "Gone Tool\\x 7";
    std::error_code error;
    auto guessed = win.processes.Launch(without, error);
    ASSERT_TRUE(guessed) << "Windows starts the planted file for the line as it stands";
    guessed->Wait(20000);
    EXPECT_EQ(guessed->ExitCode(), 42u);

    Entry("HalcyraTest gone", withExtension);
    Entry("HalcyraTest gone without extension", without);
    basRunPrograms::RunCheckedPrograms({win.plat, dir, 0}, rows, true);
    std::string expected;
    for (const std::string& line : {withExtension, without})
        expected += "Didn't run \"" + line + "\" at <now> (check file existence).\r\n" + Result(line, "-1; the message is:  ");
    EXPECT_EQ(LogAsRun(), ToAnsi(expected));
}

TEST_F(RunProgramsWin32, ADocumentStartsItsProgramQuoted) {
    std::string toolDir = dir + "tool dir\\", program = toolDir + "exit_with.exe", doc = dir + "doc.halcytest";
    ASSERT_TRUE(CreateDirectoryW(Widen(toolDir).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Widen(tool).c_str(), Widen(program).c_str(), FALSE));
    { std::ofstream(Widen(doc).c_str()) << "text"; }
    // Through HKEY_CLASSES_ROOT: this Wine does not read the user's own
    // classes (HKCU\Software\Classes) for associations.
    std::wstring open = L"\"" + Widen(program) + L"\" \"%1\"";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".halcytest", nullptr, REG_SZ, L"HalcyraTest.Doc", 16 * sizeof(wchar_t));
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"HalcyraTest.Doc\\shell\\open\\command", nullptr, REG_SZ, open.c_str(),
                    static_cast<DWORD>((open.size() + 1) * sizeof(wchar_t)));
    std::string cmdline = doc;
    std::int32_t code = basRunPrograms::ExecCmd({win.plat, dir, 0}, cmdline);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".halcytest");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"HalcyraTest.Doc");
    EXPECT_EQ(cmdline, "\"" + program + "\" \"" + doc + "\"");
    EXPECT_EQ(code, 42) << Log();
}

TEST_F(RunProgramsWin32, TheWaitAnswersSentAndPostedMessages) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    static bool answered, handled;
    answered = handled = false;
    WNDPROC proc = [](HWND h, UINT m, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
        if (m == WM_APP) answered = true;
        if (m == WM_APP + 1) handled = true;
        return DefWindowProcW(h, m, w, l);
    };
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    std::string marker = dir + "marker";
    std::error_code error;
    auto process = win.processes.Launch("\"" + tool + "\" 5 --wait-for \"" + marker + "\"", error);
    ASSERT_TRUE(process) << error.message();
    PostMessageW(window, WM_APP + 1, 0, 0);
    // Still running: the wait ends at its limit.
    EXPECT_EQ(process->Wait(200), platform::Process::kTimedOut);
    EXPECT_EQ(process->ExitCode(), platform::Process::kStillActive);
    // The program ends only once another thread's SendMessage has been answered.
    std::thread sender([&] {
        DWORD_PTR ignored;
        SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 20000, &ignored);
        std::ofstream(Widen(marker).c_str()) << "x";
    });
    EXPECT_EQ(process->Wait(15000), platform::Process::kEnded);
    sender.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(process->ExitCode(), 5u);
    EXPECT_TRUE(handled) << "the posted message was left queued";
    DestroyWindow(window);
}

TEST_F(RunProgramsWin32, AppendingInAMissingFolderFails) {
    EXPECT_EQ(win.files.Append(dir + "missing\\events.txt", "x"),
              std::error_code(ERROR_PATH_NOT_FOUND, std::system_category()));
}

// What the event log adapter hands to ReportEventW, taken on its way out
// through this program's import of it and passed on to the real function.
// Wine keeps no entry to read back: its ReadEventLogW finds none.
struct SentEvent {
    WORD type;
    DWORD id;
    std::vector<std::wstring> strings;
    std::string data;
    BOOL result;
};
std::vector<SentEvent> sentEvents;
decltype(&ReportEventW) realReportEvent;

BOOL WINAPI KeepReportEvent(HANDLE log, WORD type, WORD category, DWORD id, PSID user, WORD count, DWORD size,
                            LPCWSTR* strings, LPVOID data) {
    SentEvent e{type, id, {}, size ? std::string(static_cast<const char*>(data), size) : std::string(), FALSE};
    for (WORD i = 0; i < count; ++i) e.strings.emplace_back(strings[i]);
    e.result = realReportEvent(log, type, category, id, user, count, size, strings, data);
    sentEvents.push_back(e);
    return e.result;
}

// Points this program's import of advapi32's ReportEventW at KeepReportEvent
// while it lives.
class KeepEvents {
public:
    KeepEvents() {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), "advapi32.dll") != 0 || !d->OriginalFirstThunk)
                continue;
            auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; name->u1.AddressOfData; ++name, ++slot) {
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), "ReportEventW") == 0) slot_ = reinterpret_cast<ULONG_PTR*>(&slot->u1.Function);
            }
        }
        if (!slot_) return;
        realReportEvent = reinterpret_cast<decltype(&ReportEventW)>(*slot_);
        Put(reinterpret_cast<ULONG_PTR>(&KeepReportEvent));
        sentEvents.clear();
    }
    ~KeepEvents() {
        if (slot_) Put(reinterpret_cast<ULONG_PTR>(realReportEvent));
    }
    KeepEvents(const KeepEvents&) = delete;
    KeepEvents& operator=(const KeepEvents&) = delete;
    bool Found() const { return slot_ != nullptr; }

private:
    void Put(ULONG_PTR function) {
        DWORD was;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &was);
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, was, &was);
    }
    ULONG_PTR* slot_ = nullptr;
};

// An entry's strings put into its message in halcyrad.exe's message table,
// as Event Viewer shows it.
std::wstring Message(HMODULE table, const SentEvent& e) {
    std::vector<DWORD_PTR> args;
    for (const std::wstring& s : e.strings) args.push_back(reinterpret_cast<DWORD_PTR>(s.c_str()));
    wchar_t text[2048];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, table, e.id, 0, text, 2048,
                             reinterpret_cast<va_list*>(args.data()));
    return n ? std::wstring(text, n) : L"<no message " + std::to_wstring(GetLastError()) + L">";
}

// Each entry reaches ReportEventW with every field in UTF-16 and the line of
// events.txt last, and each field lands where the message table says.
TEST_F(RunProgramsWin32, EventEntriesCarryTheirFieldsIntoTheirMessages) {
    KeepEvents keep;
    ASSERT_TRUE(keep.Found()) << "the adapter's ReportEventW import";
    std::string failing = tool + " 3 é", gone = dir + "gone.exe";
    Entry("HalcyraTest fails", failing);
    Entry("HalcyraTest gone", gone);
    basRunPrograms::RunCheckedPrograms({win.plat, dir, 1}, rows, true);
    const std::string serviceLine = "12/8/2026 8:45:09 AM  Could not stop the service Druckwarteschlange für "
                                    "Ü because access to the service is denied";
    basEventLog::ReportLogEvent(win.plat, basEventLog::kWarningType, basEventLog::kServiceNotStopped,
                                {"Druckwarteschlange für Ü", "access to the service is denied"}, serviceLine);

    ASSERT_EQ(sentEvents.size(), 4u);
    // events.txt, line by line, as the last strings must hold it.
    std::vector<std::string> lines;
    std::string log = Log();
    for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(log.substr(at, end - at));
    ASSERT_EQ(lines.size(), 3u) << log;
    lines.push_back(ToAnsi(serviceLine));

    HMODULE table = LoadLibraryExW(Widen(testutil::ProgramFolder() + "halcyrad.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(table);
    struct Expected { DWORD id; size_t strings; std::wstring message; } expected[] = {
        {268, 4, L"The program " + Widen(failing) +
                     L" returned the error code 3; the message is: The system cannot find the path specified."},
        {267, 2, L"The program " + Widen(gone) + L" could not be started; check that its file exists."},
        {268, 4, L"The program " + Widen(gone) + L" returned the error code -1; the message is: "},
        {270, 3, L"The service Druckwarteschlange für Ü could not be stopped because access to the service is denied"},
    };
    for (size_t i = 0; i < sentEvents.size(); ++i) {
        const SentEvent& e = sentEvents[i];
        SCOPED_TRACE(i);
        EXPECT_TRUE(e.result);
        EXPECT_EQ(e.type, EVENTLOG_WARNING_TYPE);
        EXPECT_EQ(e.id, expected[i].id);
        ASSERT_EQ(e.strings.size(), expected[i].strings);
        EXPECT_EQ(ToAnsi(Narrow(e.strings.back())), lines[i]);
        EXPECT_EQ(e.data, lines[i] + '\0');
        EXPECT_EQ(Message(table, e), expected[i].message);
    }
    FreeLibrary(table);

    // A field past Windows' limit for one string is cut to it, the pair
    // across the cut kept whole, and the entry still goes.
    sentEvents.clear();
    const std::string pair = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    for (size_t before : {31838u, 31837u}) {
        std::string longField = std::string(before, 'x') + pair + std::string(100, 'y');
        basEventLog::ReportLogEvent(win.plat, basEventLog::kWarningType, basEventLog::kProgramNotStarted, {longField},
                                    "line");
    }
    ASSERT_EQ(sentEvents.size(), 2u);
    EXPECT_EQ(sentEvents[0].strings.front(), std::wstring(31838, L'x'));
    EXPECT_EQ(sentEvents[1].strings.front().size(), 31839u);
    EXPECT_EQ(sentEvents[1].strings.front().substr(31837), L"\xD83D\xDE00");
}

// Every id's message shows each of its fields once and neither the log line
// nor a string the daemon does not send.
TEST_F(RunProgramsWin32, EveryMessageShowsEachFieldOnce) {
    HMODULE table = LoadLibraryExW(Widen(testutil::ProgramFolder() + "halcyrad.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(table);
    // Strings sent, the line last.
    const std::pair<DWORD, size_t> kinds[] = {{267, 2}, {268, 4}, {269, 3}, {270, 3}, {271, 3}, {272, 2},
                                              {273, 3}, {274, 2}, {275, 2}, {276, 2}, {277, 1}};
    for (auto [id, count] : kinds) {
        SentEvent e{EVENTLOG_WARNING_TYPE, id, {}, {}, TRUE};
        for (size_t i = 0; i < 9; ++i) e.strings.push_back(L"<" + std::to_wstring(i + 1) + L">");
        std::wstring text = Message(table, e);
        for (size_t i = 0; i < e.strings.size(); ++i) {
            size_t at = text.find(e.strings[i]), shown = at == std::wstring::npos ? 0 : 1;
            if (shown && text.find(e.strings[i], at + 1) != std::wstring::npos) shown = 2;
            EXPECT_EQ(shown, i + 1 < count ? 1u : 0u) << id << " %" << i + 1 << ": " << Narrow(text);
        }
    }
    FreeLibrary(table);
}

}  // namespace
