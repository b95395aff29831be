// The services by display name: the running ones the applet lists, and the
// key name behind a display name. Over a service manager whose services
// (names and display names of any bytes, states, types, rights, services
// that start, stop or go between the enumeration and the status query)
// come from the input: the rows added are exactly the services running when
// asked, each display name once, after the rows already there; a display
// name maps to the key name of the first service that has it, and that
// service has it; a failed enumeration changes nothing; no handle is left open.
//
// Input, one line each:
//   S<state><type><flags><name>=<display>  a service; state (byte % 7) + 1;
//       type o own process, s shared, i interactive, d a driver; flags a
//       bit mask: 1 running when asked, 2 stopped when asked, 4 gone when
//       asked, 8 cannot be opened, 16 its status may not be read, 32..224
//       start type (flags >> 5)
//   r<text>   a row the list already has
//   ?<text>   a display name to look up
//   p<digit>  the platform (default 2, Windows NT)
//   !o  the manager cannot be opened   !e<code>  enumerations fail
//   !c  no right to connect            !n  no right to enumerate
#include <map>
#include <set>

#include "fuzz_check.h"
#include "platform/fake/fake_service_manager.h"
#include "services/CService.h"
#include "services/basServices.h"
#include "ui/memory/memory_ui.h"

namespace svc = platform::svc;
using fuzz::Shown;

namespace {

struct ServiceInput {
    std::string name, display;
    std::uint32_t state = svc::kRunning, type = svc::kWin32OwnProcess;
    unsigned flags = 0;
    bool RunsWhenAsked() const { return flags & 1; }
    bool StopsWhenAsked() const { return (flags & 3) == 2; }
    bool GoneWhenAsked() const { return flags & 4; }
    bool Unopenable() const { return flags & 8; }
    bool StatusHidden() const { return flags & 16; }
    std::uint32_t StartType() const { return (flags >> 5) & 7; }
};

struct Machine {
    std::vector<ServiceInput> services;
    bool openFails = false, noConnect = false, noEnumerate = false;
    int enumerateError = 0;
};

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A manager holding the machine's services as they are before anyone asks.
// With `changes`, a status query first applies what the service does when
// asked.
void Build(const Machine& m, platform::fake::FakeServiceManager& manager, bool changes) {
    for (const ServiceInput& s : m.services) {
        auto& added = manager.Add(s.name, s.display, s.state);
        added.type = s.type;
        added.startType = s.StartType();
        if (s.Unopenable()) added.openError = svc::kAccessDenied;
        if (s.StatusHidden()) added.grantedAccess = ~svc::kQueryStatus;
    }
    if (m.openFails) manager.openError = svc::kAccessDenied;
    if (m.noConnect) manager.grantedAccess &= ~svc::kManagerConnect;
    if (m.noEnumerate) manager.grantedAccess &= ~svc::kManagerEnumerateService;
    manager.enumerateError = m.enumerateError;
    if (!changes) return;
    manager.onStatusQuery = [&manager, &m](const std::string& name) {
        for (const ServiceInput& s : m.services) {
            if (!SameKey(s.name, name)) continue;
            auto& list = manager.services;
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (!SameKey(it->name, name)) continue;
                if (s.GoneWhenAsked()) list.erase(it);
                else if (s.RunsWhenAsked()) it->state = svc::kRunning;
                else if (s.StopsWhenAsked()) it->state = svc::kStopped;
                return;
            }
        }
    };
}

bool Win32(const ServiceInput& s) { return s.type & svc::kWin32; }
bool Enumerates(const Machine& m) { return !m.openFails && !m.noEnumerate && m.enumerateError == 0; }

// The state a service reports when asked after the enumeration; the
// enumeration's when the question cannot be put.
std::uint32_t StateWhenAsked(const ServiceInput& s) {
    if (s.GoneWhenAsked() || s.Unopenable() || s.StatusHidden()) return s.state;
    return s.RunsWhenAsked() ? svc::kRunning : s.StopsWhenAsked() ? svc::kStopped : s.state;
}

std::string Rows(const ui::ListView& list) {
    std::string out;
    for (int r = 0; r < list.RowCount(); ++r) out += Shown(list.GetItemText(r, 0)) + " ";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Machine m;
    std::vector<std::string> rows, lookups;
    std::int16_t platform = 2;
    for (const std::string& line : fuzz::Lines(data, size)) {
        if (line.empty()) continue;
        std::string rest = line.substr(1);
        switch (line[0]) {
            case 'S': {
                if (rest.size() < 3 || m.services.size() >= 64) break;
                ServiceInput s;
                s.state = static_cast<unsigned char>(rest[0]) % 7 + 1;
                switch (rest[1]) {
                    case 's': s.type = svc::kWin32ShareProcess; break;
                    case 'i': s.type = svc::kWin32OwnProcess | 0x100; break;
                    case 'd': s.type = 0x1; break;
                    default: break;
                }
                s.flags = static_cast<unsigned char>(rest[2]);
                size_t eq = rest.find('=', 3);
                s.name = rest.substr(3, eq == std::string::npos ? std::string::npos : eq - 3);
                s.display = eq == std::string::npos ? std::string() : rest.substr(eq + 1);
                // Key names are unique on a machine, letter case aside.
                bool taken = false;
                for (const auto& other : m.services) taken = taken || SameKey(other.name, s.name);
                if (!taken) m.services.push_back(s);
                break;
            }
            case 'r': rows.push_back(rest); break;
            case '?': lookups.push_back(rest); break;
            case 'p':
                if (!rest.empty()) platform = static_cast<std::int16_t>(rest[0] - '0');
                break;
            case '!':
                if (rest.empty()) break;
                if (rest[0] == 'o') m.openFails = true;
                if (rest[0] == 'c') m.noConnect = true;
                if (rest[0] == 'n') m.noEnumerate = true;
                if (rest[0] == 'e') m.enumerateError = std::max(1, std::atoi(rest.c_str() + 1) & 0xFFFF);
                break;
            default: break;
        }
    }

    // The running services go after the rows already there, each display
    // name once.
    {
        platform::fake::FakeServiceManager manager;
        Build(m, manager, true);
        ui::memory::MemListView list;
        for (const auto& r : rows) list.AddRow(r);
        bool filled = basServices::FillRunningServices(manager, list, platform);
        bool enumerates = platform == 2 && Enumerates(m);
        FUZZ_CHECK(filled == enumerates, std::string(filled ? "filled" : "did not fill") + " the list");
        std::vector<std::string> expected = rows;
        if (enumerates && !m.noConnect) {
            for (const ServiceInput& s : m.services) {
                if (!Win32(s) || s.state == svc::kStopped || Blank(s.name)) continue;
                if (StateWhenAsked(s) != svc::kRunning) continue;
                if (std::find(expected.begin(), expected.end(), s.display) == expected.end())
                    expected.push_back(s.display);
            }
        }
        std::string shownRows = Rows(list);
        FUZZ_CHECK(list.RowCount() == static_cast<int>(expected.size()), "rows " + shownRows);
        for (size_t r = 0; r < expected.size(); ++r)
            FUZZ_CHECK(list.GetItemText(static_cast<int>(r), 0) == expected[r],
                       "row " + std::to_string(r) + " of " + shownRows + "should be " + Shown(expected[r]));
        FUZZ_CHECK(manager.liveHandles == 0, "handles left open while filling");
    }

    // A display name maps to the key name of the first service that has it.
    {
        platform::fake::FakeServiceManager manager;
        Build(m, manager, false);
        std::map<std::string, std::string> all = basServices::ServiceNamesByDisplayName(manager);
        std::map<std::string, std::string> expectedAll;
        if (Enumerates(m))
            for (const ServiceInput& s : m.services)
                if (Win32(s) && !Blank(s.name)) expectedAll.emplace(s.display, s.name);
        FUZZ_CHECK(all == expectedAll, std::to_string(all.size()) + " names by display name, expected " +
                                           std::to_string(expectedAll.size()));
        for (const ServiceInput& s : m.services) lookups.push_back(s.display);
        if (lookups.size() > 80) lookups.resize(80);
        for (const std::string& display : lookups) {
            std::string name = basServices::ServiceNameFromDisplayName(manager, display);
            std::string expected;
            if (Enumerates(m) && !m.noConnect) {
                auto it = expectedAll.find(display);
                if (it != expectedAll.end()) expected = it->second;
            }
            FUZZ_CHECK(name == expected, Shown(display) + " gave " + Shown(name) + ", expected " + Shown(expected));
            if (name.empty()) continue;
            auto* found = manager.Find(name);
            FUZZ_CHECK(found && found->displayName == display, Shown(name) + " does not have " + Shown(display));
        }
        FUZZ_CHECK(manager.liveHandles == 0, "handles left open by the lookups");
    }

    // One service object per service: its names as given, its state and
    // start type as words.
    {
        platform::fake::FakeServiceManager manager;
        Build(m, manager, false);
        for (const ServiceInput& s : m.services) {
            CService service(manager);
            bool initialised = service.Init("", s.name, s.display, s.state);
            bool connects = !m.openFails && !m.noConnect;
            FUZZ_CHECK(initialised == (!Blank(s.name) && connects), Shown(s.name) + " and Init");
            if (!initialised) continue;
            FUZZ_CHECK(service.Name() == s.name && service.DisplayName() == s.display, Shown(s.name));
            std::uint32_t now = s.state;
            FUZZ_CHECK(service.StatusString() == basServices::StatusNames[now - 1], Shown(s.name) + " state");
            // A configuration that cannot be read leaves start type 0.
            std::uint32_t type = s.Unopenable() ? 0 : s.StartType();
            std::string startType = type > 4 ? "" : std::string(basServices::StartTypeNames[type]);
            FUZZ_CHECK(service.StartTypeString() == startType,
                       Shown(s.name) + " start type " + Shown(service.StartTypeString()));
        }
        FUZZ_CHECK(manager.liveHandles == 0, "handles left open by the service objects");
    }
    return 0;
}
