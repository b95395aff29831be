#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "common/basCountry.h"
#include "common/basRegistry.h"
#include "common/basSettings.h"
#include "common/basWinVer.h"
#include "daemon/basDaemon.h"
#include "daemon/frmMain.h"
#include "daemon_ui.h"
#include "platform/callback_guard.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_registry.h"
#include "ui/memory/memory_ui.h"

namespace testing_support {

// A daemon on fake Windows with in-memory controls.
class DaemonFixture : public ::testing::Test, public platform::fake::FakeParts {
protected:
    enum class Win { W95, W98, NT4, W2000, W10 };

    DaemonFixture() {
        basDaemon::ShowCallbackErrors(ui);
    }

    void TearDown() override {
        platform::SetCallbackErrorSink(nullptr);
    }

    void SetWindows(Win w) {
        switch (w) {
            case Win::W95: sys.version = {1, 4, 0}; break;
            case Win::W98: sys.version = {1, 4, 10}; break;
            case Win::NT4: sys.version = {2, 4, 0}; break;
            case Win::W2000: sys.version = {2, 5, 0}; break;
            case Win::W10: sys.version = {2, 10, 0}; break;
        }
    }
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
    // Loads the main window as the daemon does at start; unless a test asks
    // for the first use, the set-up wizard has run before.
    halcyrad::frmMain& Load(Win w = Win::W2000, const std::string& commandLine = "") {
        SetWindows(w);
        if (!firstUse && !reg.Peek(platform::RootKey::CurrentUser, basSettings::kSettingsKey, "RanQuickStart"))
            Put("RanQuickStart", "True");
        state.CommandLine = commandLine;
        formPtr = ui.CreateForm("frmMain", nullptr);
        form = static_cast<ui::memory::MemoryForm*>(formPtr.get());
        main = std::make_unique<halcyrad::frmMain>(ui, *form, plat, state);
        main->Form_Load();
        return *main;
    }
    ui::memory::MemLabel& Label(const std::string& n) { return static_cast<ui::memory::MemLabel&>(form->GetLabel(n)); }
    ui::memory::MemListView& RunList() { return static_cast<ui::memory::MemListView&>(form->GetListView("lsvRun")); }
    ui::memory::MemListBox& StopList() { return static_cast<ui::memory::MemListBox&>(form->GetListBox("lstStop")); }
    ui::memory::MemComboBox& Combo() { return static_cast<ui::memory::MemComboBox&>(form->GetComboBox("cmbShutdown")); }

    platform::fake::FakeRegistry reg;
    platform::fake::FakeSystem sys;
    platform::Platform plat = With(reg, sys);
    DaemonUi ui;
    halcyrad::DaemonState state;
    bool firstUse = false;
    std::unique_ptr<ui::Form> formPtr;
    ui::memory::MemoryForm* form = nullptr;
    std::unique_ptr<halcyrad::frmMain> main;
};

}  // namespace testing_support
