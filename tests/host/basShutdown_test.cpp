// The shutdown sequence from OK in the dialog to the request that ends the
// session, on fake Windows.
#include <gtest/gtest.h>

#include <stdexcept>

#include "common/basTrayIcon.h"
#include "daemon/basShutdown.h"
#include "support/daemon_fixture.h"

namespace {

using basShutdown::Choice;
using platform::fake::FakeSession;

// Planned, "other": a reason Windows records as such.
constexpr std::uint32_t kPlanned = 0x80000000;

class ShutdownFixture : public testing_support::DaemonFixture {
public:
    using Win = DaemonFixture::Win;
    using DaemonFixture::processes;
    using DaemonFixture::session;
    using DaemonFixture::windows;

protected:
    // Two checked programs and two services to stop, as the applet stores them.
    void Configure() {
        Put("RunList", "Scan,Clean,");
        Put("SelectedList", "0,1,");
        Put("Scan", "C:\\bin\\scan.exe");
        Put("Clean", "C:\\bin\\clean.exe");
        sys.files["C:\\bin\\scan.exe"] = sys.files["C:\\bin\\clean.exe"] = 0x20;
        Put("SelectedStopList", "Svc A,Svc B,");
        Put("StopServices", "1");
        services.Add("a", "Svc A");
        services.Add("b", "Svc B");
    }
    halcyrad::frmMain& Start(Win w, const std::string& commandLine = "") {
        auto& m = Load(w, commandLine);
        state.AppPath = "C:\\Halcyra\\";
        state.LogFolder = state.AppPath;
        m.OnEnd = [this] { ++ended; };
        return m;
    }
    // What the user picks, on the layout the dialog shows.
    void Choose(Choice c) {
        if (main->Windows2000Layout()) {
            form->SelectItem("cmbShutdown", c == Choice::Shutdown ? 1 : c == Choice::Restart ? 2 : 0);
            return;
        }
        ui::OptionButton& opt = c == Choice::Shutdown  ? main->optShutdown
                                : c == Choice::Restart ? main->optRestart
                                : c == Choice::MsDos   ? main->optMSDOS
                                                       : main->optLogoff;
        opt.SetValue(true);
    }
    void PressOK(int shift = 0) {
        form->ShowModeless();
        form->MouseDown("cmdOK", {1, shift, 5, 5});
        form->Click("cmdOK");
    }
    std::string Log() { return files.contents["C:\\Halcyra\\events.txt"]; }
    // The one event entry of `id`: its level and fields, and last the whole
    // line events.txt got.
    void ExpectEvent(std::uint32_t id, std::uint16_t type, const std::vector<std::string>& fields) {
        std::vector<const platform::EventRecord*> found;
        for (const auto& e : eventLog.entries)
            if (e.record.id == id) found.push_back(&e.record);
        ASSERT_EQ(found.size(), 1u) << id;
        const platform::EventRecord& r = *found[0];
        EXPECT_EQ(r.type, type) << id;
        ASSERT_EQ(r.insertions.size(), fields.size() + 1) << id;
        EXPECT_EQ(std::vector<std::string>(r.insertions.begin(), r.insertions.end() - 1), fields);
        EXPECT_NE(("\r\n" + Log()).find("\r\n" + r.insertions.back() + "\r\n"), std::string::npos)
            << r.insertions.back() << "\n" << Log();
    }
    std::vector<std::uint32_t> Flags() {
        std::vector<std::uint32_t> f;
        for (const auto& r : session.requests) {
            EXPECT_EQ(r.reason, kPlanned);
            f.push_back(r.flags);
        }
        return f;
    }

    int ended = 0;
};

using Win = ShutdownFixture::Win;

struct FlagRow {
    Win win;
    Choice choice;
    const char* useHalcyra;
    const char* powerdown;  // the machine's value; null: not there
    std::uint32_t flags;
};

class ExitFlags : public ShutdownFixture, public ::testing::WithParamInterface<FlagRow> {};

TEST_P(ExitFlags, EachChoiceAsksWithItsFlagsAndTheDaemonStaysIntercepting) {
    const FlagRow& row = GetParam();
    Put("UseHalcyra", row.useHalcyra);
    if (row.powerdown)
        reg.PlantString(platform::RootKey::LocalMachine, basSettings::kWinlogonKey, "PowerdownAfterShutdown",
                        row.powerdown);
    Start(row.win);
    Choose(row.choice);
    PressOK();
    EXPECT_EQ(Flags(), std::vector<std::uint32_t>{row.flags});
    bool nt = row.win == Win::NT4 || row.win == Win::W2000 || row.win == Win::W10;
    EXPECT_EQ(session.privilegeEnables, nt ? 1 : 0);
    EXPECT_TRUE(processList.terminated.empty());
    // Taken is not done: the daemon ends with the session, not before.
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(hook.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExitFlags,
    ::testing::Values(FlagRow{Win::W98, Choice::Shutdown, "0", nullptr, 9},
                      FlagRow{Win::W95, Choice::Shutdown, "1", nullptr, 13},
                      FlagRow{Win::NT4, Choice::Shutdown, "0", "1", 9},
                      FlagRow{Win::NT4, Choice::Shutdown, "1", "1", 13},
                      FlagRow{Win::NT4, Choice::Shutdown, "0", nullptr, 1},
                      FlagRow{Win::NT4, Choice::Shutdown, "1", "0", 5},
                      FlagRow{Win::W2000, Choice::Shutdown, "0", "1", 9},  // the combo box alone
                      // NT 5 and later power off without "PowerdownAfterShutdown".
                      FlagRow{Win::W2000, Choice::Shutdown, "0", nullptr, 9},
                      FlagRow{Win::W2000, Choice::Shutdown, "1", "0", 13},
                      FlagRow{Win::W10, Choice::Shutdown, "0", nullptr, 9},
                      FlagRow{Win::W10, Choice::Restart, "0", nullptr, 3},
                      FlagRow{Win::W98, Choice::Restart, "0", nullptr, 3},
                      FlagRow{Win::W2000, Choice::Restart, "1", nullptr, 7},
                      FlagRow{Win::NT4, Choice::Logoff, "0", nullptr, 0},
                      FlagRow{Win::W98, Choice::Logoff, "0", nullptr, 0},
                      FlagRow{Win::W2000, Choice::Logoff, "1", nullptr, 4},
                      // Only 1 forces: another value still asks, without force.
                      FlagRow{Win::NT4, Choice::Shutdown, "2", nullptr, 1}));

// What happened, in order: programs started and services asked to stop.
class SequenceOrder : public ShutdownFixture, public ::testing::WithParamInterface<bool> {
protected:
    void Record() {
        processes.onLaunch = [this](const std::string& cmd) { steps.push_back("run " + cmd); };
        services.onStatusQuery = [this](const std::string&) {
            while (stopsSeen < services.stopRequests.size()) steps.push_back("stop " + services.stopRequests[stopsSeen++]);
        };
    }
    std::vector<std::string> steps;
    size_t stopsSeen = 0;
};

TEST_P(SequenceOrder, OrderPutsEveryProgramBeforeTheFirstStopOrTheReverse) {
    Configure();
    Put("Order", GetParam() ? "True" : "False");
    Record();
    Start(Win::W2000);
    Choose(Choice::Shutdown);
    PressOK();
    std::vector<std::string> programs{"run C:\\bin\\scan.exe", "run C:\\bin\\clean.exe"}, stops{"stop a", "stop b"};
    std::vector<std::string> expected = GetParam() ? programs : stops;
    expected.insert(expected.end(), (GetParam() ? stops : programs).begin(), (GetParam() ? stops : programs).end());
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(Flags(), std::vector<std::uint32_t>{9});
}

INSTANTIATE_TEST_SUITE_P(ProgramsFirst, SequenceOrder, ::testing::Values(true, false));

TEST_F(SequenceOrder, LogOffRunsTheProgramsButStopsNoService) {
    Configure();
    Start(Win::W2000);
    Choose(Choice::Logoff);
    PressOK();
    EXPECT_EQ(processes.launched, (std::vector<std::string>{"C:\\bin\\scan.exe", "C:\\bin\\clean.exe"}));
    EXPECT_TRUE(services.stopRequests.empty());
    EXPECT_EQ(Flags(), std::vector<std::uint32_t>{0});
}

TEST_F(ShutdownFixture, WhileProgramsRunTheDialogIsGoneAndThePleaseWaitWindowNamesEach) {
    Configure();
    Start(Win::W2000);
    Choose(Choice::Restart);
    struct Seen {
        std::string text;
        bool pleaseWaitVisible, dialogVisible, hookEnabled;
    };
    std::vector<Seen> seen;
    processes.onLaunch = [&](const std::string&) {
        auto* w = ui.Find("frmError");
        seen.push_back({w ? w->GetLabel("lblMsg").Caption() : "", w && w->visible, form->visible, hook.enabled});
    };
    bool windowAtRequest = true;
    session.onEndSession = [&] { windowAtRequest = ui.Find("frmError") != nullptr; };
    PressOK();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "Running Scan.  Please wait...");
    EXPECT_EQ(seen[1].text, "Running Clean.  Please wait...");
    for (const Seen& s : seen) {
        EXPECT_TRUE(s.pleaseWaitVisible);
        EXPECT_FALSE(s.dialogVisible);
        EXPECT_FALSE(s.hookEnabled);
    }
    EXPECT_FALSE(windowAtRequest);
    EXPECT_EQ(Stored("ShutdownType"), "Restart");  // saved before the long steps
}

// The same sequence as a standard user of Windows 10, who may not stop the
// services, and as an administrator, who may.
class ServiceRights : public ShutdownFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ServiceRights, AStandardUserSeesEachServiceLoggedWithItsReasonAnAdministratorStopsThem) {
    const bool standardUser = GetParam();
    Configure();
    if (standardUser) services.AsStandardUser();
    Start(Win::W2000);
    Choose(Choice::Shutdown);
    PressOK();
    const std::string denied = " because the service could not be opened; the message is:  Access is denied.";
    if (standardUser) {
        EXPECT_TRUE(services.stopRequests.empty());
        EXPECT_EQ(services.Find("a")->state, platform::svc::kRunning);
        EXPECT_NE(Log().find("  Could not stop the service Svc A" + denied + "\r\n"), std::string::npos) << Log();
        EXPECT_NE(Log().find("  Could not stop the service Svc B" + denied + "\r\n"), std::string::npos) << Log();
        ASSERT_EQ(eventLog.entries.size(), 2u);
        // A service that did not stop: a warning with its name and the reason.
        const platform::EventRecord& b = eventLog.entries[1].record;
        EXPECT_EQ(b.id, 270u);
        EXPECT_EQ(b.type, 2);
        ASSERT_EQ(b.insertions.size(), 3u);
        EXPECT_EQ(b.insertions[0], "Svc B");
        EXPECT_EQ(b.insertions[1], "the service could not be opened; the message is:  Access is denied.");
        EXPECT_NE(Log().find(b.insertions[2] + "\r\n"), std::string::npos) << Log();
        EXPECT_NE(b.insertions[2].find("Svc B" + denied), std::string::npos);
    } else {
        EXPECT_EQ(services.stopRequests, (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(services.Find("b")->state, platform::svc::kStopped);
        EXPECT_EQ(Log(), "");
        EXPECT_TRUE(eventLog.entries.empty());
    }
    // Either way the session ends as asked.
    EXPECT_EQ(Flags(), std::vector<std::uint32_t>{9});
}

INSTANTIATE_TEST_SUITE_P(StandardUserOrAdministrator, ServiceRights, ::testing::Values(true, false));

struct SwitchRow {
    const char* commandLine;
    bool hookAfter;
};

class TestRunSwitch : public ShutdownFixture, public ::testing::WithParamInterface<SwitchRow> {};

TEST_P(TestRunSwitch, RunsAndStopsButNeitherEndsTheSessionNorTheDaemon) {
    Configure();
    Start(Win::NT4, GetParam().commandLine);
    Choose(Choice::Shutdown);
    PressOK();
    EXPECT_EQ(processes.launched.size(), 2u);
    EXPECT_EQ(services.stopRequests, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(session.requests.empty());
    EXPECT_EQ(session.privilegeEnables, 0);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(hook.enabled, GetParam().hookAfter);
}

INSTANTIATE_TEST_SUITE_P(Switches, TestRunSwitch,
                         ::testing::Values(SwitchRow{"/develop", true}, SwitchRow{"/noexit", false}));

struct ShiftRow {
    int shift;
    bool cycler;
};

class ShiftRestart : public ShutdownFixture, public ::testing::WithParamInterface<ShiftRow> {};

TEST_P(ShiftRestart, ShiftAloneRestartsWindowsOnlyThroughTheCycler) {
    Start(Win::W98);
    Choose(Choice::Restart);
    PressOK(GetParam().shift);
    using Shown = std::vector<std::pair<std::string, std::uint16_t>>;
    EXPECT_EQ(processes.shown, (GetParam().cycler ? Shown{{"\"C:\\Halcyra\\cycler.exe\"", 0}} : Shown{}));
    EXPECT_EQ(Flags(), GetParam().cycler ? std::vector<std::uint32_t>{} : std::vector<std::uint32_t>{3});
    EXPECT_EQ(ended, GetParam().cycler ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, ShiftRestart,
                         ::testing::Values(ShiftRow{ui::kShiftMask, true},
                                           ShiftRow{ui::kShiftMask | ui::kCtrlMask, false}));

TEST_F(ShutdownFixture, ForcedLogOffOnWindows9xEndsEveryShellFirst) {
    processList.processes = {{10, "C:\\WINDOWS\\EXPLORER.EXE"},
                             {11, "C:\\TOOLS\\MYEXPLORER.EXE"},
                             {12, "C:\\WINDOWS\\SYSTEM\\MPREXE.EXE"},
                             {13, "C:\\Windows\\Explorer.exe"}};
    decltype(processList.terminated) endedFirst;
    session.onEndSession = [&] { endedFirst = processList.terminated; };
    Put("UseHalcyra", "1");
    Start(Win::W95);
    Choose(Choice::Logoff);
    PressOK();
    EXPECT_EQ(endedFirst, (decltype(endedFirst){{10, 0}, {13, 0}}));
    EXPECT_EQ(Flags(), std::vector<std::uint32_t>{4});
}

struct MsDosRow {
    Win win;
    bool pifThere;
    bool started;
};

class MsDosMode : public ShutdownFixture, public ::testing::WithParamInterface<MsDosRow> {};

TEST_P(MsDosMode, StartsExit2DosOnWindows9xOnlyAndTheDaemonEnds) {
    sys.windowsDir = "C:\\WINDOWS";
    if (GetParam().pifThere) sys.files["C:\\WINDOWS\\Exit2Dos.pif"] = 0x20;
    Start(GetParam().win);
    Choose(Choice::MsDos);
    PressOK();
    using Shown = std::vector<std::pair<std::string, std::uint16_t>>;
    EXPECT_EQ(processes.shown, (GetParam().started ? Shown{{"\"C:\\WINDOWS\\Exit2Dos.pif\"", 2}} : Shown{}));
    EXPECT_TRUE(session.requests.empty());
    EXPECT_EQ(ended, 1);
}

INSTANTIATE_TEST_SUITE_P(Platforms, MsDosMode,
                         ::testing::Values(MsDosRow{Win::W98, true, true}, MsDosRow{Win::NT4, true, false}));

// After the request: a cancelled end leaves the daemon resident and
// intercepting; the end itself unloads it, icon and all.
TEST_F(ShutdownFixture, TheDaemonEndsWithTheSessionNotWithTheRequest) {
    Put("ShowIcon", "1");
    Start(Win::W2000);
    Choose(Choice::Shutdown);
    PressOK();
    ASSERT_EQ(Flags(), std::vector<std::uint32_t>{9});
    form->SessionEnds(false);
    EXPECT_EQ(ended, 0);
    hook.Report(windows.Add("#32770", "Shut Down Windows"));
    hook.RunDeferred();
    EXPECT_TRUE(form->visible);
    form->Click("cmdCancel");
    form->SessionEnds(true);
    EXPECT_EQ(ended, 1);
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().message, platform::TrayMessage::Delete);
}

// While a program runs the thread answers its messages, so queued tray
// clicks, menu choices, keys and system dialogs arrive in the middle of the
// sequence: none of them shows the dialog, unloads the daemon or starts a
// second sequence; a system dialog is only closed.
TEST_F(ShutdownFixture, NothingRunsInsideTheSequence) {
    Configure();
    Put("Admin", "");
    Start(Win::W2000);
    Choose(Choice::Shutdown);
    platform::WindowHandle system;
    processes.onLaunch = [&](const std::string& cmd) {
        if (cmd != "C:\\bin\\scan.exe") return;
        form->MouseMove(static_cast<int>(basTrayIcon::kMouseDoubleClick), 0);
        form->MouseMove(static_cast<int>(basTrayIcon::kMouseRightUp), 0);
        for (const char* entry : {"selShutdown", "selOptions", "selAbout", "selExit", "cmdOK"}) form->Click(entry);
        form->KeyDown('O');
        EXPECT_FALSE(form->RequestClose());
        system = windows.Add("#32770", "Shut Down Windows");
        main->Hook_Deferred(system);
    };
    PressOK();
    EXPECT_EQ(processes.launched, (std::vector<std::string>{"C:\\bin\\scan.exe", "C:\\bin\\clean.exe"}));
    EXPECT_EQ(services.stopRequests, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Flags(), std::vector<std::uint32_t>{9});
    EXPECT_FALSE(form->visible);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_FALSE(main->Unloaded);
    EXPECT_EQ(windows.closePosted, std::vector<platform::WindowHandle>{system});
    EXPECT_EQ(static_cast<ui::memory::MemMenu&>(form->GetMenu("mnuSystemTray")).popups, 0);
    EXPECT_FALSE(main->SequenceRunning());
}

// A sequence that cannot end the session leaves the daemon resident and
// intercepting, and says why in its log.
struct FailureRow {
    const char* name;
    std::function<void(ShutdownFixture&)> arrange;
    Win win;
    Choice choice;
    int shift;
    const char* logged;
    std::vector<std::string> fields;  // of its event entry
};

void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }

class SequenceFailure : public ShutdownFixture, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(SequenceFailure, LeavesTheDaemonResidentWithTheHookOnAndLogsIt) {
    Start(GetParam().win);
    GetParam().arrange(*this);
    Choose(GetParam().choice);
    PressOK(GetParam().shift);
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(hook.enabled);
    EXPECT_NE(Log().find(GetParam().logged), std::string::npos) << Log();
    ASSERT_EQ(eventLog.entries.size(), 1u);
    EXPECT_NE(eventLog.entries[0].record.insertions.back().find(GetParam().logged), std::string::npos);
    // A refused end and a stopped sequence are errors; a program not started a warning.
    const std::string logged = GetParam().logged;
    const auto [id, type] = logged.find("did not end the session") != std::string::npos ? std::pair(271u, 1)
                            : logged.find("Didn't run") != std::string::npos           ? std::pair(267u, 2)
                                                                                        : std::pair(272u, 1);
    ExpectEvent(id, static_cast<std::uint16_t>(type), GetParam().fields);
    // It intercepts again: the system's next dialog opens the daemon's.
    hook.Report(windows.Add("#32770", "Shut Down Windows"));
    EXPECT_EQ(hook.pending.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Mends, SequenceFailure,
    ::testing::Values(
        FailureRow{"WindowsRefuses",
                   [](ShutdownFixture& f) { f.session.endStatus = {1314, std::system_category()}; }, Win::NT4,
                   Choice::Shutdown, 0,
                   "Windows did not end the session (request 1); the message is:  A required privilege is not "
                   "held by the client.",
                   {"1", "A required privilege is not held by the client."}},
        FailureRow{"CyclerDoesNotStart",
                   [](ShutdownFixture& f) {
                       f.processes.outcomes["\"C:\\Halcyra\\cycler.exe\""] = {.starts = false};
                   },
                   Win::W98, Choice::Restart, ui::kShiftMask, "Didn't run \"C:\\Halcyra\\cycler.exe\" at ",
                   {"\"C:\\Halcyra\\cycler.exe\""}},
        FailureRow{"Exit2DosMissing", [](ShutdownFixture&) {}, Win::W98, Choice::MsDos, 0,
                   "Didn't run \"C:\\WINNT\\Exit2Dos.pif\" at ", {"\"C:\\WINNT\\Exit2Dos.pif\""}},
        FailureRow{"RunTimeError",
                   [](ShutdownFixture& f) {
                       f.windows.failClose = [](platform::WindowHandle) { throw std::runtime_error("no dimmer"); };
                   },
                   Win::W2000, Choice::Shutdown, 0, "The shutdown sequence stopped: no dimmer", {"no dimmer"}}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

// Ends of the session the daemon did not ask for: Windows asks its window
// first, and with "RunAtAnyShutdown" the steps run while the end is held.
using platform::Session;

struct QueryRow {
    const char* name;
    const char* setting;  // "RunAtAnyShutdown"; null: not stored
    std::uint32_t flags;
    enum When { Resident, AfterOwnRequest, DuringTheSteps, DuringOk } when = Resident;
    bool answer = true;
    bool programs = false;  // the checked programs ran at this end
    bool services = false;  // and the services were asked to stop
};

void PrintTo(const QueryRow& row, std::ostream* os) { *os << row.name; }

class AnyShutdown : public ShutdownFixture, public ::testing::WithParamInterface<QueryRow> {};

TEST_P(AnyShutdown, DecidesWhetherTheEndIsHeldForTheSteps) {
    const QueryRow& row = GetParam();
    Configure();
    if (row.setting) Put("RunAtAnyShutdown", row.setting);
    Start(Win::W10);
    size_t before = 0, stopsBefore = 0;
    if (row.when == QueryRow::AfterOwnRequest) {
        Choose(Choice::Shutdown);
        PressOK();
        ASSERT_EQ(Flags(), std::vector<std::uint32_t>{9});
        before = processes.launched.size();
        stopsBefore = services.stopRequests.size();
    }
    std::vector<bool> inner;  // the answers to questions asked while steps ran
    if (row.when == QueryRow::DuringTheSteps || row.when == QueryRow::DuringOk)
        processes.onLaunch = [&](const std::string&) { inner.push_back(form->QueryEndSession(0)); };
    bool answer;
    if (row.when == QueryRow::DuringOk) {
        Choose(Choice::Shutdown);
        PressOK();
        answer = true;  // OK's own request follows; nothing else was asked
    } else {
        answer = form->QueryEndSession(row.flags);
    }
    EXPECT_EQ(answer, row.answer);
    if (row.when == QueryRow::DuringTheSteps || row.when == QueryRow::DuringOk) {
        EXPECT_EQ(inner, std::vector<bool>(2, false));
    }
    std::vector<std::string> ran(processes.launched.begin() + static_cast<long>(before), processes.launched.end());
    std::vector<std::string> stopped(services.stopRequests.begin() + static_cast<long>(stopsBefore),
                                     services.stopRequests.end());
    bool steps = row.programs && row.when != QueryRow::DuringOk;
    using Names = std::vector<std::string>;
    EXPECT_EQ(ran, (row.programs ? Names{"C:\\bin\\scan.exe", "C:\\bin\\clean.exe"} : Names{}));
    EXPECT_EQ(stopped, (row.services ? Names{"a", "b"} : Names{}));
    // What Windows showed meanwhile, each step's own reason, and no hold left.
    std::vector<std::string> reasons;
    if (steps) reasons = {"Running Scan...", "Running Clean..."};
    if (steps && row.services) reasons.insert(reasons.end(), {"Stopping Svc A...", "Stopping Svc B..."});
    EXPECT_EQ(session.reasons, reasons);
    EXPECT_FALSE(session.holding);
    EXPECT_EQ(session.releases, steps ? 1 : 0);
    // Resident as before: the end goes on, or Windows says it was cancelled.
    EXPECT_FALSE(main->SequenceRunning());
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(form->visible);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnyShutdown,
    ::testing::Values(
        QueryRow{"NotStored", nullptr, 0},
        QueryRow{"Off", "0", 0},
        QueryRow{"ShutDownOrRestart", "1", 0, QueryRow::Resident, true, true, true},
        QueryRow{"LogOff", "1", Session::kEndsLogoff, QueryRow::Resident, true, true, false},
        QueryRow{"Critical", "1", Session::kEndsCritical},
        QueryRow{"CriticalLogOff", "1", Session::kEndsCritical | Session::kEndsLogoff},
        // An installer's restart manager closing the daemon: no session end.
        QueryRow{"InstallerClosesIt", "1", Session::kEndsCloseApp},
        // Its own request after OK: the steps ran before it was made.
        QueryRow{"OwnRequest", "1", 0, QueryRow::AfterOwnRequest},
        // Asked again while the steps run: no, and nothing starts again.
        QueryRow{"AgainDuringTheSteps", "1", 0, QueryRow::DuringTheSteps, true, true, true},
        QueryRow{"DuringOksSequence", "1", 0, QueryRow::DuringOk, true, true, true}),
    [](const ::testing::TestParamInfo<QueryRow>& info) { return std::string(info.param.name); });

// The mark of the daemon's own request goes with its question, and with an
// end that was cancelled before it was asked: the next end is held again.
TEST_F(AnyShutdown, OnlyTheQuestionOfItsOwnRequestIsLetThrough) {
    Configure();
    Put("RunAtAnyShutdown", "1");
    Put("StopServices", "0");
    Start(Win::W10);
    for (bool cancelledBeforeAsked : {false, true}) {
        SCOPED_TRACE(cancelledBeforeAsked ? "cancelled first" : "asked");
        Choose(Choice::Shutdown);
        PressOK();
        processes.launched.clear();
        if (cancelledBeforeAsked) form->SessionEnds(false);
        else EXPECT_TRUE(form->QueryEndSession(0));
        EXPECT_TRUE(processes.launched.empty());
        EXPECT_TRUE(form->QueryEndSession(0));
        EXPECT_EQ(processes.launched.size(), 2u);
    }
}

// Each end runs what is due today, as OK does: the weekday rule, and the
// once-a-day rule with its stamp written as today.
TEST_F(AnyShutdown, RunsWhatIsDueTodayAndStampsOnceADayEntries) {
    Put("RunList", "Every,Once,Sunday,");
    Put("SelectedList", "0,1,2,");
    Put("Every", "C:\\bin\\every.exe");
    Put("Once", "C:\\bin\\once.exe");
    Put("roOnce", "True");
    Put("Sunday", "C:\\bin\\sunday.exe");
    Put("dowSunday", "1");
    for (const char* f : {"C:\\bin\\every.exe", "C:\\bin\\once.exe", "C:\\bin\\sunday.exe"}) sys.files[f] = 0x20;
    Put("RunAtAnyShutdown", "1");
    clock.now = {2024, 3, 5, 2, 17, 0, 0};  // a Tuesday
    Start(Win::W10);
    EXPECT_TRUE(form->QueryEndSession(0));
    form->SessionEnds(false);
    EXPECT_TRUE(form->QueryEndSession(Session::kEndsLogoff));
    EXPECT_EQ(processes.launched,
              (std::vector<std::string>{"C:\\bin\\every.exe", "C:\\bin\\once.exe", "C:\\bin\\every.exe"}));
    EXPECT_EQ(Stored("lrOnce"), std::to_string(basSettings::DayKey(2024, 3, 5)));
}

// A session end never waits on the daemon longer than the waits it was
// given: five minutes a program, the service limit a service, and a second
// a service for the last look at its state.
TEST_F(AnyShutdown, AnEndHeldForHungProgramsAndServicesWaitsOnlyTheirLimits) {
    Configure();
    Put("RunAtAnyShutdown", "1");
    Put("SecondsToWaitForService", "7");
    processes.otherwise.exitCode = std::nullopt;
    for (auto& svc : services.services) svc.stopAfterMs = -1;
    Start(Win::W10);
    const std::uint64_t start = clock.ms;
    EXPECT_TRUE(form->QueryEndSession(0));
    std::uint64_t waited = clock.ms - start;
    for (std::uint32_t w : processes.waits) waited += w;
    EXPECT_EQ(processes.waits, (std::vector<std::uint32_t>{300000, 300000}));
    EXPECT_GE(waited, 2 * 300000u + 2 * 7000u);
    EXPECT_LE(waited, 2 * 300000u + 2 * 7000u + 2 * 1000u);
    EXPECT_NE(Log().find("Could not stop the service Svc B because"), std::string::npos) << Log();
}

// Where Windows cannot hold the end for a program (before Vista), the end
// goes on at once and the log says the steps did not run.
TEST_F(AnyShutdown, WithoutAHoldTheEndGoesOnAndTheLogSaysWhy) {
    Configure();
    Put("RunAtAnyShutdown", "1");
    session.canHold = false;
    Start(Win::W2000);
    EXPECT_TRUE(form->QueryEndSession(0));
    EXPECT_TRUE(processes.launched.empty());
    EXPECT_TRUE(services.stopRequests.empty());
    EXPECT_NE(Log().find("The programs and services did not run at this end of the session: this version of Windows "
                         "lets no program hold the end."),
              std::string::npos)
        << Log();
    ExpectEvent(277, 2, {});
}

// The reasons in the user's language; the hold ends even when a step fails,
// and the failure is logged.
TEST_F(AnyShutdown, GermanReasonsAndAFailedStepStillLetsTheEndGoOn) {
    Configure();
    Put("RunAtAnyShutdown", "1");
    SetWindowsLanguage(1031);
    services.onStatusQuery = [](const std::string&) { throw std::runtime_error("service manager gone"); };
    Start(Win::W10);
    EXPECT_TRUE(form->QueryEndSession(0));
    EXPECT_EQ(session.reasons, (std::vector<std::string>{"Scan wird ausgeführt...", "Clean wird ausgeführt...",
                                                         "Svc A wird beendet..."}));
    EXPECT_FALSE(session.holding);
    EXPECT_NE(Log().find("The steps at the end of the session stopped: service manager gone"), std::string::npos)
        << Log();
    ExpectEvent(275, 1, {"service manager gone"});
    EXPECT_FALSE(main->SequenceRunning());
}

// A reason Windows refuses (Wine has the function, but refuses every call)
// is logged once; the end is held for the steps all the same.
TEST_F(AnyShutdown, AReasonWindowsRefusesIsLoggedOnceAndTheStepsRunAllTheSame) {
    Configure();
    Put("RunAtAnyShutdown", "1");
    session.holdStatus = {120, std::system_category()};
    Start(Win::W10);
    EXPECT_TRUE(form->QueryEndSession(0));
    EXPECT_EQ(processes.launched.size(), 2u);
    EXPECT_EQ(services.stopRequests, (std::vector<std::string>{"a", "b"}));
    const std::string refused = "Windows did not take the reason for holding the end of the session";
    ASSERT_NE(Log().find(refused), std::string::npos) << Log();
    EXPECT_EQ(Log().find(refused, Log().find(refused) + 1), std::string::npos) << Log();
    ExpectEvent(276, 2, {"This function is only valid in Windows NT mode."});
    EXPECT_EQ(session.releases, 0);
}

// The dialog on screen when the end comes goes as Cancel takes it: the
// user's ticks are kept and are what runs.
TEST_F(AnyShutdown, AnOpenDialogIsSavedAndHiddenFirst) {
    Configure();
    Put("RunAtAnyShutdown", "1");
    Start(Win::W10);
    form->MouseMove(static_cast<int>(basTrayIcon::kMouseDoubleClick), 0);
    ASSERT_TRUE(form->visible);
    RunList().UncheckItem(0);
    EXPECT_TRUE(form->QueryEndSession(Session::kEndsLogoff));
    EXPECT_FALSE(form->visible);
    EXPECT_EQ(Stored("SelectedList"), "1,");
    EXPECT_EQ(processes.launched, std::vector<std::string>{"C:\\bin\\clean.exe"});
}

}  // namespace
