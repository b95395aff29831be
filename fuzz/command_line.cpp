// The daemon's command line: "/country=<code>" as its last switch picks the
// language, "/lock" locks the dialog's choices, "/develop" lets a second copy
// start and shows the facts it found. Each switch acts exactly when its text
// is on the line, and a language code only from a plain number after the
// first "/country=" up to the end of the line.
//
// Input: the command line as the program gets it.
#include "common/basCountry.h"
#include "daemon/basCountryDialogTexts.h"
#include "daemon/basDaemon.h"
#include "daemon_harness.h"
#include "fuzz_check.h"

namespace S = basSettings;
using fuzz::Shown;

namespace {

// The code a line asks for, read independently of the product's parser:
// blanks, an optional sign, digits, blanks, and 0..32767.
std::optional<std::uint16_t> AskedLanguage(const std::string& line) {
    static const std::string kSwitch = "/country=";
    size_t at = line.find(kSwitch);
    if (at == std::string::npos) return std::nullopt;
    std::string rest = line.substr(at + kSwitch.size());
    size_t b = rest.find_first_not_of(" \t"), e = rest.find_last_not_of(" \t");
    if (b == std::string::npos) return std::nullopt;
    rest = rest.substr(b, e - b + 1);
    bool negative = rest[0] == '-';
    if (rest[0] == '+' || rest[0] == '-') rest.erase(0, 1);
    if (rest.empty() || rest.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    rest.erase(0, std::min(rest.find_first_not_of('0'), rest.size() - 1));
    if (rest.size() > 5 || std::stol(rest) > 32767 || (negative && rest != "0")) return std::nullopt;
    return static_cast<std::uint16_t>(std::stol(rest));
}

bool Has(const std::string& line, const char* sw) { return line.find(sw) != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    platform::fake::FakeRegistry reg;
    reg.PlantString(platform::RootKey::CurrentUser, S::kSettingsKey, S::RanQuickStart.name, "True");
    fuzz::DaemonHarness d(reg);
    // A copy already runs: only "/develop" lets this one start.
    d.windows.Add(basDaemon::kWindowClass, basDaemon::kAppTitle);
    d.state.CommandLine = line;
    bool started = basDaemon::Startup(d.plat, d.ui, d.state, "C:\\Halcyra");
    FUZZ_CHECK(started == Has(line, "/develop"), Shown(line) + (started ? " started" : " did not start"));
    FUZZ_CHECK(d.reg.Peek(platform::RootKey::CurrentUser, S::kSettingsKey, S::AppPath.name).has_value() == started,
               Shown(line) + " and the stored folder");

    std::uint16_t system = basCountry::GetWindowsLanguage(d.sys);
    d.ui.messageBoxes.clear();
    halcyrad::frmMain& main = d.Load(line);
    std::uint16_t expected = AskedLanguage(line).value_or(system);
    FUZZ_CHECK(d.state.CountryCode == expected,
               Shown(line) + " language " + std::to_string(d.state.CountryCode) + ", expected " + std::to_string(expected));
    halcyrad::DaemonState texts;
    basCountry::FillTextTables(basCountry::TextSetFor(expected), d.state.UserName, texts);
    FUZZ_CHECK(d.state.InterceptTitles == texts.InterceptTitles, Shown(line) + " titles of another language");

    FUZZ_CHECK(main.chkRunThisFirst.Enabled() == !Has(line, "/lock"), Shown(line) + " and the lock");
    FUZZ_CHECK(main.lsvRun.Enabled() == !Has(line, "/lock"), Shown(line) + " and the lock of the list");
    FUZZ_CHECK(d.ui.messageBoxes.empty() == !Has(line, "/develop"),
               Shown(line) + " showed " + std::to_string(d.ui.messageBoxes.size()) + " message boxes");
    return 0;
}
