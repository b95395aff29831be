// The service model, the enumeration by display name and StopNTService,
// against the fake service manager and a fake clock (a wait of seconds takes
// no time).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "daemon/halcyradForms.h"
#include "platform/fake/fake_service_manager.h"
#include "platform/fake/fake_system.h"
#include "services/CService.h"
#include "services/basCheckNTService.h"
#include "services/basServices.h"
#include "ui/memory/memory_ui.h"

namespace {

namespace svc = platform::svc;
using basCheckNTService::StopContext;
using basCheckNTService::StopNTService;

// In-memory windowing that notes which windows were made and what the
// please-wait window showed when it was painted.
class RecordingUi : public ui::memory::MemoryUi {
public:
    RecordingUi() { daemon_forms::RegisterTemplates(*this); }
    struct Paint {
        std::string text;
        bool visible;
        int left, top;
        ui::Pointer pointer;
    };
    std::unique_ptr<ui::Form> CreateForm(const std::string& templateName, ui::Form* owner) override {
        created.push_back(templateName);
        return MemoryUi::CreateForm(templateName, owner);
    }
    void DoEvents() override {
        MemoryUi::DoEvents();
        if (auto* f = Find("frmError"))
            paints.push_back({f->GetLabel("lblMsg").Caption(), f->visible, f->left, f->top, pointer});
    }
    std::vector<std::string> created;
    std::vector<Paint> paints;
};

class Services : public ::testing::Test {
protected:
    void SetUp() override {
        clock.now = {2026, 12, 8, 2, 8, 45, 6};
    }
    void TearDown() override {
        // Every manager and service handle is closed, whatever happened.
        EXPECT_EQ(scm.liveHandles, 0);
    }
    StopContext Context(int waitSeconds, bool develop = false, int logEvents = 1) {
        StopContext c{scm, clock, ui};
        c.waitSeconds = waitSeconds;
        c.develop = develop;
        c.logEvents = static_cast<std::int16_t>(logEvents);
        c.appendLogLine = [this](const std::string& line) { lines.push_back(line); };
        c.reportLogEvent = [this](std::int16_t type, std::int32_t id, const std::vector<std::string>& fields,
                                  const std::string& line) { events.emplace_back(line, type, id, fields); };
        return c;
    }
    std::vector<std::string> RowTexts(ui::memory::MemListView& lv) {
        std::vector<std::string> out;
        for (auto& r : lv.rows) out.push_back(r.cells.at(0));
        return out;
    }

    platform::fake::FakeClock clock;
    platform::fake::FakeServiceManager scm{&clock};
    RecordingUi ui;
    std::int16_t winPlatform = 2;
    std::vector<std::string> lines;
    std::vector<std::tuple<std::string, std::int16_t, std::int32_t, std::vector<std::string>>> events;
};

using CServiceTest = Services;
using FillRunningServicesTest = Services;
using ServiceNameTest = Services;
using StopNTServiceTest = Services;

// --- CService ---------------------------------------------------------------

TEST_F(CServiceTest, BlankNameIsRefusedAndNothingIsOpened) {
    for (const char* blank : {"", "   "}) {
        CService s(scm);
        EXPECT_FALSE(s.Init("", blank, "Display", svc::kRunning)) << "'" << blank << "'";
        EXPECT_EQ(s.Name(), "");
        EXPECT_EQ(s.DisplayName(), "");
    }
    EXPECT_TRUE(scm.managerOpens.empty());
}

TEST_F(CServiceTest, InitKeepsTheValuesAndReadsTheWholeConfiguration) {
    auto& f = scm.Add("Spooler", "Print Spooler");
    f.binaryPath = "C:\\" + std::string(300, 'p') + "\\spoolsv.exe";  // longer than a 256-character buffer
    f.startName = ".\\" + std::string(40, 'u');                        // longer than a 32-character buffer
    f.startType = 2;
    f.type = svc::kWin32ShareProcess;
    f.errorControl = 1;
    const std::string path = f.binaryPath, user = f.startName;

    CService s(scm);
    ASSERT_TRUE(s.Init("", "Spooler", "Print Spooler", svc::kRunning));
    EXPECT_EQ(s.Name(), "Spooler");
    EXPECT_EQ(s.DisplayName(), "Print Spooler");
    EXPECT_EQ(s.Server(), "");
    EXPECT_EQ(s.EXEName(), path);
    EXPECT_EQ(s.StartUser(), user);
    EXPECT_EQ(s.StartType(), 2u);
    EXPECT_EQ(s.StartTypeString(), "Automatic");
    EXPECT_EQ(s.ServiceType(), svc::kWin32ShareProcess);
    EXPECT_EQ(s.ErrorControl(), 1u);
    ASSERT_EQ(scm.managerOpens.size(), 1u);
    EXPECT_EQ(scm.managerOpens[0].access, svc::kManagerConnect);
    EXPECT_EQ(scm.serviceOpens.back().access, svc::kQueryConfig);
    EXPECT_EQ(scm.liveHandles, 1);  // the object keeps its manager connection
}

TEST_F(CServiceTest, FailuresLeaveDefaults) {
    scm.Add("Locked", "Locked").openError = svc::kAccessDenied;
    CService locked(scm);
    EXPECT_TRUE(locked.Init("", "Locked", "Locked", svc::kRunning));  // the configuration is optional
    EXPECT_EQ(locked.EXEName(), "");
    EXPECT_EQ(locked.StartType(), 0u);
    EXPECT_EQ(locked.Status(), svc::kRunning);  // the refresh failed: the last known state

    scm.openError = svc::kAccessDenied;
    CService noManager(scm);
    EXPECT_FALSE(noManager.Init("", "Locked", "Locked", svc::kRunning));
}

TEST_F(CServiceTest, StatusStringAsksAgain) {
    scm.Add("W32Time", "Windows Time").startType = 3;
    CService s(scm);
    ASSERT_TRUE(s.Init("", "W32Time", "Windows Time", svc::kRunning));
    scm.Find("W32Time")->state = svc::kStopped;
    EXPECT_EQ(s.StatusString(), "Stopped");
    scm.Find("W32Time")->state = svc::kStopPending;
    EXPECT_EQ(s.Status(), svc::kStopPending);
    EXPECT_EQ(s.StartTypeString(), "Manual");
}

TEST_F(CServiceTest, NameTables) {
    const std::vector<std::pair<std::uint32_t, std::string>> states = {
        {1, "Stopped"}, {2, "Start Pending"}, {3, "Stop Pending"}, {4, "Running"},
        {5, "Continue Pending"}, {6, "Pause Pending"}, {7, "Paused"}, {8, ""}};
    scm.Add("S", "S");
    for (auto& [state, name] : states) {
        scm.Find("S")->state = state;
        CService s(scm);
        ASSERT_TRUE(s.Init("", "S", "S", svc::kRunning));
        EXPECT_EQ(s.StatusString(), name) << state;
    }
    const std::vector<std::string> starts = {"Boot", "System", "Automatic", "Manual", "Disabled", ""};
    for (std::uint32_t t = 0; t < starts.size(); ++t) {
        scm.Find("S")->startType = t;
        CService s(scm);
        ASSERT_TRUE(s.Init("", "S", "S", svc::kRunning));
        EXPECT_EQ(s.StartTypeString(), starts[t]) << t;
    }
}

// --- FillRunningServices and ServiceNameFromDisplayName ----------------------

TEST_F(FillRunningServicesTest, AddsTheRunningServicesNotYetListed) {
    scm.Add("a", "Alerter");
    scm.Add("b", "Browser", svc::kStopped);
    scm.Add("c", "Computer Browser");
    scm.Add("d", "DHCP Client", svc::kPaused);
    scm.Add("e", "Event Log");
    scm.Add("f", "Fax");
    ui::memory::MemListView lv;
    lv.AddRow("Event Log");  // saved in the stop list: not added again
    lv.AddRow("fax");        // the comparison is case-sensitive

    EXPECT_TRUE(basServices::FillRunningServices(scm, lv, winPlatform));
    EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"Event Log", "fax", "Alerter", "Computer Browser", "Fax"}));
    EXPECT_EQ(scm.enumerations, 1);
    EXPECT_EQ(scm.managerOpens.front().access, svc::kManagerEnumerateService);
}

TEST_F(FillRunningServicesTest, TheStateIsAskedAgainNotTakenFromTheEnumeration) {
    scm.Add("a", "Alerter");
    scm.Add("b", "Browser");
    // Browser stops between the enumeration and the question.
    scm.onStatusQuery = [this](const std::string& name) {
        if (name == "b") scm.Find("b")->state = svc::kStopped;
    };
    ui::memory::MemListView lv;
    EXPECT_TRUE(basServices::FillRunningServices(scm, lv, winPlatform));
    EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"Alerter"}));
}

TEST_F(FillRunningServicesTest, FailuresLeaveTheListUnchanged) {
    struct Case {
        const char* what;
        int winPlatform, openError, enumerateError;
    };
    for (const Case& c : {Case{"Windows 95/98", 1, 0, 0}, Case{"manager refused", 2, svc::kAccessDenied, 0},
                          Case{"enumeration failed", 2, 0, svc::kAccessDenied}}) {
        winPlatform = static_cast<std::int16_t>(c.winPlatform);
        scm.services.clear();
        scm.Add("a", "Alerter");
        scm.openError = c.openError;
        scm.enumerateError = c.enumerateError;
        ui::memory::MemListView lv;
        lv.AddRow("Saved");
        EXPECT_FALSE(basServices::FillRunningServices(scm, lv, winPlatform)) << c.what;
        EXPECT_EQ(RowTexts(lv), (std::vector<std::string>{"Saved"})) << c.what;
        EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "Alerter"), c.winPlatform == 1 ? "a" : "") << c.what;
    }
}

TEST_F(ServiceNameTest, ExactDisplayNameFirstMatch) {
    scm.Add("Dup1", "Same Name");
    scm.Add("Dup2", "Same Name");
    scm.Add("Other", "Other Name", svc::kStopped);
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "Same Name"), "Dup1");
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "Other Name"), "Other");  // stopped ones count too
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "same name"), "");
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "Nothing"), "");
}

TEST_F(ServiceNameTest, ThreeHundredServicesEnumerateCompletely) {
    // A single 3600-byte call would have seen at most 100.
    for (int i = 1; i <= 300; ++i) scm.Add("svc" + std::to_string(i), "Service " + std::to_string(i));
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "Service 300"), "svc300");
    ui::memory::MemListView lv;
    EXPECT_TRUE(basServices::FillRunningServices(scm, lv, winPlatform));
    ASSERT_EQ(lv.RowCount(), 300);
    EXPECT_EQ(lv.GetItemText(299, 0), "Service 300");
}

TEST_F(ServiceNameTest, StopRightsAsAnAdministratorAndAsAStandardUser) {
    using R = basServices::StopRight;
    const std::vector<std::string> names = {"Print Spooler", "User Service", "Gone"};
    scm.Add("Spooler", "Print Spooler", svc::kStopped);
    scm.Add("UserSvc", "User Service");
    EXPECT_EQ(basServices::StopRights(scm, names), (std::vector<R>{R::Allowed, R::Allowed, R::NotInstalled}));

    scm.AsStandardUser();
    scm.Find("UserSvc")->grantedAccess |= svc::kStop;  // a service that lets users stop it
    scm.serviceOpens.clear();
    EXPECT_EQ(basServices::StopRights(scm, names), (std::vector<R>{R::Denied, R::Allowed, R::NotInstalled}));
    // Only the right to stop is tried.
    for (const auto& open : scm.serviceOpens) EXPECT_EQ(open.access, svc::kStop) << open.name;

    scm.grantedAccess = 0;  // the manager cannot be asked: nothing is said
    EXPECT_EQ(basServices::StopRights(scm, names), (std::vector<R>{R::Unknown, R::Unknown, R::Unknown}));
}

// --- StopNTService -----------------------------------------------------------

TEST_F(StopNTServiceTest, StoppedWithinTheFirstSecondNoMessageAndNoWaitingBeyondIt) {
    // stop time (ms) -> when the wait ends, with the 50 ms look
    for (auto [stopAfter, returnsBy] : {std::pair{0, 50}, {100, 100}, {120, 150}, {980, 1000}}) {
        scm.services.clear();
        scm.Add("Spooler", "Print Spooler").stopAfterMs = stopAfter;
        scm.stopRequests.clear();
        const std::uint64_t t0 = clock.ms;
        EXPECT_TRUE(StopNTService(Context(20), "Print Spooler")) << stopAfter;
        EXPECT_EQ(clock.ms - t0, std::uint64_t(returnsBy)) << stopAfter;
        EXPECT_EQ(scm.stopRequests, std::vector<std::string>{"Spooler"}) << stopAfter;
        EXPECT_EQ(scm.Find("Spooler")->state, svc::kStopped);
    }
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(StopNTServiceTest, ThePleaseWaitWindowIsPaintedOnceCentredWithTheHourglass) {
    scm.Add("Spooler", "Print Spooler").stopAfterMs = 300;
    StopNTService(Context(20), "Print Spooler");

    EXPECT_EQ(ui.created, std::vector<std::string>{"frmError"});
    EXPECT_EQ(ui.doEvents, 1);
    ASSERT_EQ(ui.paints.size(), 1u);
    const auto& p = ui.paints[0];
    EXPECT_EQ(p.text, "Stopping Print Spooler service.  Please wait...");
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.left, (ui.screenWidth - 6000) / 2);  // 6000: the in-memory form's width
    EXPECT_EQ(p.top, ui.screenHeight / 2);           // and its height 0
    EXPECT_EQ(p.pointer, ui::Pointer::Hourglass);
    // Gone afterwards, with the default pointer.
    EXPECT_EQ(ui.Find("frmError"), nullptr);
    EXPECT_EQ(ui.pointer, ui::Pointer::Default);
}

TEST_F(StopNTServiceTest, NeverStopsTheReasonIsLoggedAfterTheLimit) {
    for (int logEv : {1, 0}) {
        scm.services.clear();
        scm.Add("Spooler", "Print Spooler").stopAfterMs = -1;
        scm.stopRequests.clear();
        lines.clear();
        events.clear();
        clock.now = {2026, 12, 8, 2, 8, 45, 6};
        clock.ms = 0;

        EXPECT_FALSE(StopNTService(Context(2, false, logEv), "Print Spooler"));  // the last request was refused
        // One request a second while 0, 1 and 2 seconds have passed.
        EXPECT_EQ(scm.stopRequests.size(), 3u);
        EXPECT_EQ(clock.ms, 3000u);
        const std::string message =
            "12/8/2026 8:45:09 AM  Could not stop the service Print Spooler because the service cannot accept the "
            "stop messages at this time";
        EXPECT_EQ(lines, std::vector<std::string>{message});
        if (logEv == 1) {
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0], std::make_tuple(message, std::int16_t(2), std::int32_t(270),
                                                 std::vector<std::string>{
                                                     "Print Spooler",
                                                     "the service cannot accept the stop messages at this time"}));
        } else {
            EXPECT_TRUE(events.empty());
        }
    }
}

TEST_F(StopNTServiceTest, SlowButInTimeReportsNothing) {
    // It refuses the later requests (1061) while stopping, then stops.
    scm.Add("Spooler", "Print Spooler").stopAfterMs = 2500;
    EXPECT_FALSE(StopNTService(Context(20), "Print Spooler"));
    EXPECT_EQ(scm.stopRequests.size(), 3u);
    EXPECT_EQ(clock.ms, 2500u);
    EXPECT_TRUE(lines.empty());
}

TEST_F(StopNTServiceTest, WaitLimitZeroOneRequestOneCheckThenTheReason) {
    const std::vector<std::pair<int, std::string>> cases = {
        {5, " because access to the service is denied"},
        {1051, " because other running services are dependent on it"},
        {1052, " because the requested control is not valid or is unacceptable for this service"},
        {1053, " because the service did not respond to the stop request in a reasonable amount of time"},
        {1061, " because the service cannot accept the stop messages at this time"},
        {1062, " because the service has not been started"},
        // Accepted, still running: the time is the reason.
        {0, " because it did not stop within 0 seconds"},
        // A code without a reason of its own: its Win32 text.
        {1056, " because the stop request failed; the message is:  An instance of the service is already running."},
    };
    for (auto& [code, reason] : cases) {
        scm.services.clear();
        auto& f = scm.Add("Spooler", "Print Spooler");
        f.stopError = code;
        f.stopAfterMs = -1;
        scm.stopRequests.clear();
        lines.clear();
        clock.now = {2026, 12, 8, 2, 8, 45, 6};

        StopNTService(Context(0), "Print Spooler");
        EXPECT_EQ(scm.stopRequests.size(), 1u) << code;
        EXPECT_EQ(lines, std::vector<std::string>{"12/8/2026 8:45:07 AM  Could not stop the service Print "
                                                  "Spooler" + reason})
            << code;
    }
}

TEST_F(StopNTServiceTest, AServiceThatCannotBeFoundOrOpenedIsLoggedWithItsReasonAndNoWindow) {
    struct Case {
        const char* what;
        const char* display;
        std::function<void(platform::fake::FakeServiceManager&)> arrange;
        const char* reason;
    };
    const Case cases[] = {
        {"not installed", "No Such Service", [](auto&) {}, " because the service is not installed"},
        {"manager refused", "Print Spooler", [](auto& m) { m.grantedAccess = 0; },
         " because the service manager could not be opened; the message is:  Access is denied."},
        {"enumeration failed", "Print Spooler", [](auto& m) { m.enumerateError = 6; },
         " because the services could not be listed; the message is:  The handle is invalid."},
        {"a standard user", "Print Spooler", [](auto& m) { m.AsStandardUser(); },
         " because the service could not be opened; the message is:  Access is denied."},
        {"deleted meanwhile", "Print Spooler", [](auto& m) { m.Find("Spooler")->openError = 1060; },
         " because the service could not be opened; the message is:  The specified service does not exist as an "
         "installed service."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scm = platform::fake::FakeServiceManager{&clock};
        scm.Add("Spooler", "Print Spooler");
        c.arrange(scm);
        lines.clear();
        events.clear();
        EXPECT_FALSE(StopNTService(Context(20, true), c.display));
        EXPECT_EQ(scm.Find("Spooler")->state, svc::kRunning);
        const std::string message =
            "12/8/2026 8:45:06 AM  Could not stop the service " + std::string(c.display) + c.reason;
        EXPECT_EQ(lines, std::vector<std::string>{message});
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(std::get<0>(events[0]), message);
        // The reason field goes without its " because ".
        EXPECT_EQ(std::get<3>(events[0]), (std::vector<std::string>{c.display, std::string(c.reason).substr(9)}));
        EXPECT_TRUE(scm.stopRequests.empty());
    }
    EXPECT_TRUE(ui.created.empty());
    EXPECT_EQ(ui.doEvents, 0);
}

TEST_F(StopNTServiceTest, AsksOnlyForTheRightsAStopNeeds) {
    // A standard user on a service that lets users stop it, as some do: the
    // rights asked are within what Windows grants, so it stops.
    scm.AsStandardUser();
    scm.Add("Spooler", "Print Spooler").grantedAccess |= svc::kStop;
    EXPECT_TRUE(StopNTService(Context(20), "Print Spooler"));
    EXPECT_EQ(scm.Find("Spooler")->state, svc::kStopped);
    ASSERT_EQ(scm.managerOpens.size(), 1u);
    EXPECT_EQ(scm.managerOpens[0].access, svc::kManagerConnect | svc::kManagerEnumerateService);
    ASSERT_EQ(scm.serviceOpens.size(), 1u);
    EXPECT_EQ(scm.serviceOpens[0].access, svc::kStop | svc::kQueryStatus | svc::kQueryConfig);
    EXPECT_TRUE(lines.empty());
}

TEST_F(StopNTServiceTest, TwoServicesWithOneDisplayNameTheFirstIsStopped) {
    scm.Add("First", "Twin");
    scm.Add("Second", "Twin");
    EXPECT_TRUE(StopNTService(Context(20), "Twin"));
    EXPECT_EQ(scm.stopRequests, std::vector<std::string>{"First"});
    EXPECT_EQ(scm.Find("First")->state, svc::kStopped);
    EXPECT_EQ(scm.Find("Second")->state, svc::kRunning);
}

TEST_F(StopNTServiceTest, DevelopWritesOneTraceLinePerSecond) {
    const std::string head = "ServiceNameUserSees:  Print Spooler;  ServiceStatus.dwCurrentState:  ";
    // Never stops, limit 2: three passes, then the reason.
    scm.Add("Spooler", "Print Spooler").stopAfterMs = -1;
    StopNTService(Context(2, true), "Print Spooler");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], head + "3 / SecElapsed: 0  SecToWait: 2");
    EXPECT_EQ(lines[1], head + "3 / SecElapsed: 1  SecToWait: 2");
    EXPECT_EQ(lines[2], head + "3 / SecElapsed: 2  SecToWait: 2");
    EXPECT_NE(lines[3].find("Could not stop the service Print Spooler because"), std::string::npos);

    // Stops 1.5 s after the request: the second pass ends early, with its line.
    lines.clear();
    scm.services.clear();
    scm.Add("Spooler", "Print Spooler").stopAfterMs = 1500;
    StopNTService(Context(20, true), "Print Spooler");
    EXPECT_EQ(lines, (std::vector<std::string>{head + "3 / SecElapsed: 0  SecToWait: 20",
                                               head + "1 / SecElapsed: 1  SecToWait: 20"}));
}

TEST_F(StopNTServiceTest, TheLimitIsMeasuredOnTheMonotonicClockWhateverTheWallClockDoes) {
    // The wall clock jumps an hour back or forward during the first second;
    // the wait still gives 0, 1 and 2 elapsed seconds their request each.
    for (int jump : {-3600, 3600}) {
        SCOPED_TRACE(jump);
        scm = platform::fake::FakeServiceManager{&clock};
        scm.Add("Spooler", "Print Spooler").stopAfterMs = -1;
        lines.clear();
        clock.ms = 0;
        bool jumped = false;
        scm.onStatusQuery = [&](const std::string&) {
            if (!jumped) clock.now = platform::fake::FakeClock::AddSeconds(clock.now, jump);
            jumped = true;
        };
        StopNTService(Context(2, true), "Print Spooler");
        EXPECT_EQ(scm.stopRequests.size(), 3u);
        EXPECT_EQ(clock.ms, 3000u);
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_NE(lines[2].find("SecElapsed: 2  SecToWait: 2"), std::string::npos);
    }
}

}  // namespace
