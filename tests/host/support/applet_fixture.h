#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "applet/AppletState.h"
#include "applet/frmMain.h"
#include "applet/halcfgForms.h"
#include "common/basEncrypt.h"
#include "common/basSettings.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_registry.h"
#include "ui/memory/memory_ui.h"

namespace testing_support {

// In-memory windowing that knows the applet's templates.
struct AppletUi : ui::memory::MemoryUi {
    AppletUi() { applet_forms::RegisterTemplates(*this); }
};

// A registry that remembers the order of its writes.
class RecordingRegistry : public platform::fake::FakeRegistry {
public:
    std::error_code SetValue(const platform::RegKey& key, const std::string& name,
                             const platform::RegData& value) override {
        written.push_back(name);
        return FakeRegistry::SetValue(key, name, value);
    }
    std::vector<std::string> written;
};

// The applet on fake Windows with in-memory controls.
class AppletFixture : public ::testing::Test, public platform::fake::FakeParts {
protected:
    using MemoryForm = ui::memory::MemoryForm;

    AppletFixture() { state.LibraryFolder = "C:\\Program Files\\Halcyra\\"; }

    void SetWindows98() { sys.version = {1, 4, 10}; }
    // The language of the system's own user interface.
    void SetWindowsLanguage(std::uint32_t lang) {
        platform::VersionTranslations t;
        t.status = platform::VersionTranslations::Status::Ok;
        t.entries = {lang | (1252u << 16)};
        sys.translations[sys.systemDir + "\\user.exe"] = t;
    }
    void Put(const std::string& name, const std::string& value) {
        reg.PlantString(platform::RootKey::CurrentUser, basSettings::kSettingsKey, name, value);
    }
    std::string Stored(const std::string& name) {
        auto v = reg.Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, name);
        return v ? v->data : "<missing>";
    }
    void SetPassword(const std::string& pw) { Put("Admin", basEncrypt::Scramble(locale, pw)); }
    // The access prompt answers with `text`, or is cancelled when it is null.
    void PromptAnswers(const char* text) {
        ui.OnModal("frmPasswordToAccess", [text](MemoryForm& f) {
            if (!text) return f.Click("cmdCancel");
            f.Type("txtPassword", text);
            f.Click("cmdOK");
        });
    }
    // The daemon's window, of a running program.
    static constexpr std::uint32_t kDaemonProcess = 4242;
    platform::WindowHandle StartDaemon() {
        processes.running.insert(kDaemonProcess);
        return windows.Add("HalcyraDaemon", "Halcyra", kDaemonProcess);
    }

    // Opens the settings dialog; `user` acts while it is shown. The form
    // stays readable afterwards.
    void Open(std::function<void(MemoryForm&)> user = {}) {
        ui.OnModal("frmMain", [this, user](MemoryForm& f) {
            form = &f;
            if (user) user(f);
        });
        dlg = std::make_unique<halcfg::frmMain>(ui, plat, state);
        dlg->Show();
    }
    static void Page(MemoryForm& f, int page) {
        f.GetTab("SSTab1").SelectTab(page);
        f.Click("SSTab1");
    }
    // Enabled, whatever kind of control the name is.
    static ui::Control& Control(MemoryForm& f, const std::string& name) {
        auto starts = [&](const char* p) { return name.rfind(p, 0) == 0; };
        if (starts("chk")) return f.GetCheckBox(name);
        if (starts("opt")) return f.GetOption(name);
        if (starts("lsv")) return f.GetListView(name);
        if (starts("txt")) return f.GetTextBox(name);
        if (starts("SSTab")) return f.GetTab(name);
        if (starts("img")) return f.GetPicture(name);
        return f.GetLabel(name);
    }
    static std::vector<std::string> Disabled(MemoryForm& f) {
        std::vector<std::string> out;
        for (const ui::Binding& b : applet_forms::frmMainControls)
            if (!Control(f, b.name).Enabled()) out.push_back(b.name);
        return out;
    }

    RecordingRegistry reg;
    platform::fake::FakeSystem sys;
    platform::Platform plat = With(reg, sys);
    AppletUi ui;
    halcfg::AppletState state;
    std::unique_ptr<halcfg::frmMain> dlg;
    MemoryForm* form = nullptr;
};

}  // namespace testing_support
