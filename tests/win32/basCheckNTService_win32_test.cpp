// The service units against Wine's real service manager: the tests register
// services of their own (tools/test_service.cpp), start them, and stop,
// list and look them up through the units.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/basWinVer.h"
#include "daemon/halcyradForms_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text.h"
#include "services/CService.h"
#include "services/basCheckNTService.h"
#include "services/basServices.h"
#include "services/servicesRes.h"
#include "test_util.h"
#include "ui/win32/native_ui.h"

namespace {

using platform::win32::Narrow;
using platform::win32::ScHandle;
using platform::win32::Widen;

constexpr const char* kPrefix = "HalcyraTest_";

SC_HANDLE Sc(const ScHandle& h) { return static_cast<SC_HANDLE>(h.get()); }

DWORD StateOf(SC_HANDLE service) {
    SERVICE_STATUS s{};
    return QueryServiceStatus(service, &s) ? s.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE service, DWORD state, DWORD ms) {
    ULONGLONG end = GetTickCount64() + ms;
    while (StateOf(service) != state) {
        if (GetTickCount64() > end) return false;
        Sleep(20);
    }
    return true;
}

// Ends and deletes a test service, whatever state it is in.
void Remove(SC_HANDLE manager, const std::wstring& name) {
    ScHandle s(OpenServiceW(manager, name.c_str(), SERVICE_ALL_ACCESS));
    if (!s) return;
    if (StateOf(Sc(s)) != SERVICE_STOPPED) {
        SERVICE_STATUS st;
        ControlService(Sc(s), SERVICE_CONTROL_STOP, &st);
        // A service that ignores the request ends on its quit event.
        HANDLE quit = OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"Global\\HalcyraTestService." + name + L".quit").c_str());
        if (quit) {
            SetEvent(quit);
            CloseHandle(quit);
        }
        WaitForState(Sc(s), SERVICE_STOPPED, 10000);
    }
    DeleteService(Sc(s));
}

// A service of this test run in the prefix's service manager, removed when
// the object goes (also when the test failed half-way).
class TestService {
public:
    // `mode`: now, after or never (tools/test_service.cpp). `displayName` ""
    // makes one from the tag; `extraArgument` lengthens the command line.
    TestService(const std::string& tag, const std::string& mode, const std::string& displayName = "",
                const std::string& extraArgument = "")
        : name_(kPrefix + std::to_string(GetCurrentProcessId()) + "_" + tag),
          display_(displayName.empty() ? "Halcyra Test " + tag + " " + std::to_string(GetCurrentProcessId())
                                       : displayName),
          binary_("\"" + testutil::ProgramFolder() + "test_service.exe\" " + mode + " 0" +
                  (extraArgument.empty() ? "" : " " + extraArgument)),
          manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
        Remove(Sc(manager_), Widen(name_));
        service_ = ScHandle(CreateServiceW(Sc(manager_), Widen(name_).c_str(), Widen(display_).c_str(),
                                           SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                           SERVICE_ERROR_IGNORE, Widen(binary_).c_str(), nullptr, nullptr, nullptr,
                                           nullptr, nullptr));
    }
    ~TestService() {
        service_.reset();
        Remove(Sc(manager_), Widen(name_));
    }
    bool Created() const { return static_cast<bool>(service_); }
    // Starts it and waits until it runs. A first start in a new prefix can
    // outlast the manager's patience; it is tried twice.
    bool Start() {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (StartServiceW(Sc(service_), 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
                return WaitForState(Sc(service_), SERVICE_RUNNING, 15000);
        }
        return false;
    }
    DWORD State() const { return StateOf(Sc(service_)); }
    const std::string& name() const { return name_; }
    const std::string& display() const { return display_; }
    const std::string& binary() const { return binary_; }

private:
    std::string name_, display_, binary_;
    ScHandle manager_, service_;
};

// The native windowing, with a look at the please-wait window each time
// pending messages are let through.
class WatchingUi : public ui::Ui {
public:
    struct Look {
        bool visible;
        std::string text;
        RECT rect;
    };
    explicit WatchingUi(ui::win32::NativeUi& inner) : inner_(inner) {}
    void RegisterTemplate(const std::string& name, const std::vector<ui::Binding>& controls,
                          const std::string& menuName, const std::vector<ui::Binding>& menuEntries) override {
        inner_.RegisterTemplate(name, controls, menuName, menuEntries);
    }
    std::unique_ptr<ui::Form> CreateForm(const std::string& t, ui::Form* owner) override {
        auto f = inner_.CreateForm(t, owner);
        if (t == "frmError") window = reinterpret_cast<HWND>(f->Handle().value);
        return f;
    }
    int MsgBox(const std::string& text, const std::string& title, int flags) override {
        return inner_.MsgBox(text, title, flags);
    }
    void SetPointer(ui::Pointer p) override { inner_.SetPointer(p); }
    int ScreenWidthTwips() const override { return inner_.ScreenWidthTwips(); }
    int ScreenHeightTwips() const override { return inner_.ScreenHeightTwips(); }
    void DoEvents() override {
        inner_.DoEvents();
        if (!window) return;
        Look l{IsWindowVisible(window) != FALSE, "", {}};
        wchar_t buf[256] = {};
        GetDlgItemTextW(window, IDC_ERROR_LBLMSG, buf, 256);
        l.text = Narrow(buf);
        GetWindowRect(window, &l.rect);
        looks.push_back(l);
    }
    HWND window = nullptr;
    std::vector<Look> looks;

private:
    ui::win32::NativeUi& inner_;
};

// The real service manager, noting the rights each open asks for.
class RecordingManager : public platform::ServiceManager {
public:
    explicit RecordingManager(platform::ServiceManager& inner) : inner_(inner) {}
    std::unique_ptr<platform::ServiceManagerHandle> Open(const std::string& machine, std::uint32_t access,
                                                         std::error_code& error) override {
        managerAccess.push_back(access);
        auto h = inner_.Open(machine, access, error);
        if (!h) return nullptr;
        return std::make_unique<Handle>(*this, std::move(h));
    }
    std::vector<std::uint32_t> managerAccess, serviceAccess;

private:
    class Handle : public platform::ServiceManagerHandle {
    public:
        Handle(RecordingManager& m, std::unique_ptr<platform::ServiceManagerHandle> inner)
            : m_(m), inner_(std::move(inner)) {}
        std::error_code Enumerate(std::uint32_t types, std::uint32_t states,
                                  std::vector<platform::ServiceEntry>& services) override {
            return inner_->Enumerate(types, states, services);
        }
        std::unique_ptr<platform::ServiceHandle> OpenByName(const std::string& name, std::uint32_t access,
                                                             std::error_code& error) override {
            m_.serviceAccess.push_back(access);
            return inner_->OpenByName(name, access, error);
        }

    private:
        RecordingManager& m_;
        std::unique_ptr<platform::ServiceManagerHandle> inner_;
    };
    platform::ServiceManager& inner_;
};

class RealServices : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Services an earlier, interrupted run left behind.
        ScHandle m(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        std::error_code error;
        platform::win32::Win32ServiceManager scm;
        std::vector<platform::ServiceEntry> all;
        if (auto h = scm.Open("", platform::svc::kManagerEnumerateService, error))
            h->Enumerate(platform::svc::kWin32, platform::svc::kStateAll, all);
        for (auto& e : all)
            if (e.name.rfind(kPrefix, 0) == 0) Remove(Sc(m), Widen(e.name));
    }
    void SetUp() override {
        daemon_forms::RegisterAll(nativeUi);
    }

    basCheckNTService::StopContext Context(int waitSeconds, platform::ServiceManager* manager = nullptr) {
        basCheckNTService::StopContext c(manager ? *manager : scm, clock, ui);
        c.waitSeconds = waitSeconds;
        c.appendLogLine = [this](const std::string& line) { lines.emplace_back(line, GetTickCount64() - t0); };
        c.reportLogEvent = [this](std::int16_t type, std::int32_t id, const std::vector<std::string>& fields,
                                  const std::string& line) { events.emplace_back(line, type, id, fields); };
        return c;
    }

    platform::win32::Win32ServiceManager scm;
    platform::win32::Win32Clock clock;
    ui::win32::NativeUi nativeUi{GetModuleHandleW(nullptr)};
    WatchingUi ui{nativeUi};
    ULONGLONG t0 = 0;
    std::vector<std::pair<std::string, ULONGLONG>> lines;  // with ms since t0
    std::vector<std::tuple<std::string, std::int16_t, std::int32_t, std::vector<std::string>>> events;
};

TEST_F(RealServices, AServiceThatStopsAtOnceNoLogLineAndThePleaseWaitWindow) {
    TestService service("atonce", "now");
    ASSERT_TRUE(service.Created());
    ASSERT_TRUE(service.Start());

    const long handles = ScHandle::Live();
    t0 = GetTickCount64();
    EXPECT_TRUE(basCheckNTService::StopNTService(Context(20), service.display()));
    const ULONGLONG took = GetTickCount64() - t0;

    EXPECT_EQ(service.State(), DWORD(SERVICE_STOPPED));
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(events.empty());
    EXPECT_LT(took, 1000u) << "a stopped service ends the wait before the second's check";
    EXPECT_EQ(ScHandle::Live(), handles);

    // The window on its real template: painted once, with the text,
    // centred on the screen; destroyed afterwards.
    ASSERT_EQ(ui.looks.size(), 1u);
    const auto& look = ui.looks[0];
    EXPECT_TRUE(look.visible);
    EXPECT_EQ(look.text, "Stopping " + service.display() + " service.  Please wait...");
    int w = look.rect.right - look.rect.left, h = look.rect.bottom - look.rect.top;
    EXPECT_EQ(look.rect.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    EXPECT_EQ(look.rect.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
    EXPECT_FALSE(IsWindow(ui.window));
}

TEST_F(RealServices, AServiceThatIgnoresTheStopRequestIsReportedWithinASecondOfTheLimit) {
    TestService service("never", "never");
    ASSERT_TRUE(service.Created());
    ASSERT_TRUE(service.Start());

    const int limit = 1;
    const long handles = ScHandle::Live();
    t0 = GetTickCount64();
    EXPECT_FALSE(basCheckNTService::StopNTService(Context(limit), service.display()));

    EXPECT_EQ(service.State(), DWORD(SERVICE_STOP_PENDING));
    ASSERT_EQ(lines.size(), 1u);
    const auto& [line, at] = lines[0];
    const std::string tail = "  Could not stop the service " + service.display() +
                             " because the service cannot accept the stop messages at this time";
    ASSERT_GT(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    EXPECT_NE(line.substr(0, line.size() - tail.size()).find(':'), std::string::npos) << "a date and time first";
    EXPECT_GE(at, ULONGLONG(limit) * 1000);
    EXPECT_LE(at, ULONGLONG(limit + 1) * 1000 + 300);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], std::make_tuple(line, std::int16_t(2), std::int32_t(270),
                                         std::vector<std::string>{
                                             service.display(),
                                             "the service cannot accept the stop messages at this time"}));
    EXPECT_EQ(ScHandle::Live(), handles);
}

TEST_F(RealServices, FillRunningServicesListsTheRunningTestServiceNotTheStoppedOne) {
    TestService running("fillrun", "now"), stopped("fillstop", "now");
    ASSERT_TRUE(running.Created() && stopped.Created());
    ASSERT_TRUE(running.Start());

    auto form = nativeUi.CreateForm("frmMain", nullptr);
    auto& list = form->GetListView("lsvRun");
    list.AddColumn("Services");
    const long handles = ScHandle::Live();
    EXPECT_TRUE(basServices::FillRunningServices(scm, list, 2));
    EXPECT_EQ(ScHandle::Live(), handles);

    std::vector<std::string> rows;
    for (int i = 0; i < list.RowCount(); ++i) rows.push_back(list.GetItemText(i, 0));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), running.display()), 1);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), stopped.display()), 0);

    // Filling again adds nothing already there.
    EXPECT_TRUE(basServices::FillRunningServices(scm, list, 2));
    EXPECT_EQ(list.RowCount(), static_cast<int>(rows.size()));

    // Both are found by display name, running or not.
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, running.display()), running.name());
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, stopped.display()), stopped.name());
    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, "Halcyra Test No Such Service"), "");
}

TEST_F(RealServices, LongNamesAndPathsComeBackWhole) {
    // Beyond fixed buffers: 128 characters of display name, 256 of path.
    const std::string display = "Halcyra Test " + std::string(180, 'd') + " " + std::to_string(GetCurrentProcessId());
    TestService service("long", "now", display, "Z:\\" + std::string(300, 'x') + "\\record.txt");
    ASSERT_TRUE(service.Created());
    ASSERT_GT(service.binary().size(), 256u);

    EXPECT_EQ(basServices::ServiceNameFromDisplayName(scm, display), service.name());
    CService s(scm);
    ASSERT_TRUE(s.Init("", service.name(), display, SERVICE_STOPPED));
    EXPECT_EQ(s.EXEName(), service.binary());
    EXPECT_EQ(s.StartTypeString(), "Manual");
    EXPECT_EQ(s.StartUser(), "LocalSystem");
    EXPECT_EQ(s.StatusString(), "Stopped");
}

TEST_F(RealServices, EnumerationRepeatsUntilItHasEveryServiceOnce) {
    TestService a("enum1", "now"), b("enum2", "now");
    ASSERT_TRUE(a.Created() && b.Created());
    auto names = [](platform::ServiceManager& m) {
        std::error_code error;
        std::vector<platform::ServiceEntry> all;
        auto h = m.Open("", platform::svc::kManagerEnumerateService, error);
        EXPECT_TRUE(h);
        if (h) {
            EXPECT_FALSE(h->Enumerate(platform::svc::kWin32, platform::svc::kStateAll, all));
        }
        std::vector<std::string> out;
        for (auto& e : all) out.push_back(e.name);
        return out;
    };
    const auto sized = names(scm);
    // A first buffer too small for even one record, and one for a few: the
    // call is repeated while the system reports more data.
    for (std::size_t first : {16u, 400u}) {
        platform::win32::Win32ServiceManager small(first);
        EXPECT_EQ(names(small), sized) << first;
    }
    EXPECT_EQ(std::set<std::string>(sized.begin(), sized.end()).size(), sized.size()) << "each once";
    EXPECT_EQ(std::count(sized.begin(), sized.end(), a.name()), 1);
    EXPECT_EQ(std::count(sized.begin(), sized.end(), b.name()), 1);
}

TEST_F(RealServices, AStopAsksOnlyForTheRightsItNeedsAndTheyAreEnough) {
    TestService service("rights", "now");
    ASSERT_TRUE(service.Created());
    ASSERT_TRUE(service.Start());
    RecordingManager recording(scm);
    using namespace platform::svc;
    // The manager checks each call against the rights of its handle: the
    // stop, the status and the configuration all answer.
    EXPECT_TRUE(basCheckNTService::StopNTService(Context(20, &recording), service.display()));
    EXPECT_EQ(service.State(), DWORD(SERVICE_STOPPED));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(recording.managerAccess, std::vector<std::uint32_t>{kManagerConnect | kManagerEnumerateService});
    EXPECT_EQ(recording.serviceAccess, std::vector<std::uint32_t>{kStop | kQueryStatus | kQueryConfig});
    EXPECT_EQ(DWORD(kStop | kQueryStatus | kQueryConfig),
              DWORD(SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG));

    using R = basServices::StopRight;
    recording.serviceAccess.clear();
    EXPECT_EQ(basServices::StopRights(recording, {service.display(), "Halcyra Test No Such Service"}),
              (std::vector<R>{R::Allowed, R::NotInstalled}));
    EXPECT_EQ(recording.serviceAccess, std::vector<std::uint32_t>{kStop});

    // One that is not installed is said, with no window.
    ui.window = nullptr;
    EXPECT_FALSE(basCheckNTService::StopNTService(Context(20), "Halcyra Test No Such Service"));
    ASSERT_EQ(lines.size(), 1u);
    const std::string tail =
        "  Could not stop the service Halcyra Test No Such Service because the service is not installed";
    EXPECT_EQ(lines[0].first.substr(lines[0].first.size() - std::min(lines[0].first.size(), tail.size())), tail);
    EXPECT_EQ(ui.window, nullptr);
}

TEST_F(RealServices, AServiceThatDeniesStoppingIsLoggedAccessIsDenied) {
    TestService service("denied", "now");
    ASSERT_TRUE(service.Created());
    ASSERT_TRUE(service.Start());
    ScHandle m(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    auto setDacl = [&](const wchar_t* sddl) {
        ScHandle s(OpenServiceW(Sc(m), Widen(service.name()).c_str(), WRITE_DAC));
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!s || !ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
            return false;
        BOOL set = SetServiceObjectSecurity(Sc(s), DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
        return set != FALSE;
    };
    // Everything again afterwards, so that the service can be removed.
    struct Restore {
        std::function<bool(const wchar_t*)> set;
        ~Restore() { set(L"D:(A;;GA;;;WD)"); }
    } restore{setDacl};
    {
        // Everyone may do anything to it but stop it.
        ASSERT_TRUE(setDacl(L"D:(D;;WP;;;WD)(A;;CCDCLCSWRPWPDTLOCRRCSDWDWO;;;WD)"));
        ScHandle probe(OpenServiceW(Sc(m), Widen(service.name()).c_str(), SERVICE_STOP));
        if (probe)
            GTEST_SKIP() << "this Wine takes the security descriptor but grants SERVICE_STOP all the same; "
                            "Windows refuses the open with ERROR_ACCESS_DENIED";
    }
    EXPECT_FALSE(basCheckNTService::StopNTService(Context(20), service.display()));
    EXPECT_EQ(service.State(), DWORD(SERVICE_RUNNING));
    ASSERT_EQ(lines.size(), 1u);
    const std::string tail = "  Could not stop the service " + service.display() +
                             " because the service could not be opened; the message is:  Access is denied.";
    EXPECT_NE(lines[0].first.find(tail), std::string::npos) << lines[0].first;
    EXPECT_EQ(basServices::StopRights(scm, {service.display()}), std::vector<basServices::StopRight>{
                                                                     basServices::StopRight::Denied});
}

}  // namespace
