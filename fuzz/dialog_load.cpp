// The daemon's dialog loaded from a settings key of any content, with the
// registry failing: values of every type and length, reads, opens and writes
// that fail for good or once. The load and what the user then does never
// crash and never leave a key open, and a value is never written over from
// the default shown for it when its read failed (settings_script.h); one
// that could never be read stays exactly as it was.
//
// Input: settings_script.h lines. Actions, in order: ">cmd <line>" the
// command line; ">win98" a Windows 98; ">wizard" finishes the set-up wizard
// when it shows; ">show" the dialog from the tray; ">cancel" its Cancel;
// ">change" another program writes the key.
#include "daemon_harness.h"
#include "fuzz_check.h"
#include "settings_script.h"

namespace S = basSettings;
using fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::SettingsScript script = fuzz::ParseSettingsScript(data, size);
    std::string commandLine;
    for (const auto& a : script.actions)
        if (a.rfind("cmd ", 0) == 0) commandLine = a.substr(4);

    fuzz::ScriptedRegistry reg(script);
    auto stored = [&reg](const std::string& name) {
        return reg.Peek(platform::RootKey::CurrentUser, S::kSettingsKey, name);
    };
    std::map<std::string, platform::RegData> before;
    for (const auto& v : script.values)
        if (auto data = stored(v.name)) before[v.name] = *data;
    {
        fuzz::DaemonHarness d(reg);
        if (script.Has("win98")) d.sys.version = {1, 4, 10};
        if (script.Has("wizard"))
            d.ui.OnModal("frmWizardEmail", [](ui::memory::MemoryForm& f) {
                for (int page = 0; page < 6 && !f.closed; ++page) f.Click("cmdNext");
            });
        halcyrad::frmMain& main = d.Load(commandLine);
        for (const auto& a : script.actions) {
            reg.NextStep();
            if (a == "show") main.selShutdown_Click();
            else if (a == "cancel" && d.form->IsVisible()) d.form->Click("cmdCancel");
            else if (a == "change") reg.PlantString(platform::RootKey::CurrentUser, S::kSettingsKey, "Other", "x");
        }
    }
    FUZZ_CHECK(reg.OpenHandles() == 0, std::to_string(reg.OpenHandles()) + " keys left open");
    FUZZ_CHECK(reg.losses.empty(), reg.losses.front());
    for (const auto& [name, was] : before) {
        if (!reg.NeverRead(name)) continue;
        auto now = stored(name);
        FUZZ_CHECK(now && now->type == was.type && now->data == was.data,
                   Shown(name) + " (type " + std::to_string(was.type) + ") " + Shown(was.data) +
                       ", never read, changed");
    }
    return 0;
}
