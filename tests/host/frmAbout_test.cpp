#include "support/daemon_fixture.h"

#include "daemon/frmAbout.h"

using halcyrad::frmAbout;

namespace {

class AboutTest : public testing_support::DaemonFixture {
protected:
    frmAbout& Open(std::uint16_t country) {
        state.CountryCode = country;
        about.reset();
        aboutForm = ui.CreateForm("frmAbout", nullptr);
        about = std::make_unique<frmAbout>(ui, *aboutForm, plat, state, "Version 3.5 (Build 548)");
        about->Form_Load();
        return *about;
    }
    ui::memory::MemoryForm& Form() { return static_cast<ui::memory::MemoryForm&>(*aboutForm); }
    std::unique_ptr<ui::Form> aboutForm;
    std::unique_ptr<frmAbout> about;
};

TEST(VersionText, MajorFirstMinorCharacterAndBuild) {
    EXPECT_EQ(halcyrad::BuildVersionText(1033, 3, 50, 548), "Version 3.5 (Build 548)");
    EXPECT_EQ(halcyrad::BuildVersionText(3082, 3, 50, 548), "Vercion 3.5 (Build 548)");
    EXPECT_EQ(halcyrad::BuildVersionText(1034, 1, 0, 7), "Vercion 1.0 (Build 7)");
    EXPECT_EQ(halcyrad::BuildVersionText(1040, 2, 1, 0), "Versione 2.1 (Build 0)");
    EXPECT_EQ(halcyrad::BuildVersionText(1031, 2, 12, 9), "Version 2.1 (Build 9)");
}

TEST_F(AboutTest, TextsByLanguage) {
    auto& en = Open(1033);
    EXPECT_EQ(aboutForm->Caption(), "About Halcyra");
    EXPECT_EQ(en.lblTitle.Caption(), "Halcyra");
    EXPECT_EQ(en.lblVersion.Caption(), "Version 3.5 (Build 548)");
    EXPECT_EQ(en.lblAuthor.Caption().rfind("Warning: this computer program is protected by copyright law", 0), 0u);
    EXPECT_EQ(en.lblMailTo.Caption(), "support@halcyra.example");
    const std::string englishNotice = en.lblAuthor.Caption();
    struct Case { std::uint16_t code; const char* caption; const char* sysInfo; };
    for (Case c : {Case{3082, "Acerca de Halcyra", "Info de sistema"}, Case{1031, "Über Halcyra", ""},
                   Case{1040, "Circa Halcyra", ""}, Case{1036, "Circa Halcyra", ""}}) {
        auto& a = Open(c.code);
        EXPECT_EQ(aboutForm->Caption(), c.caption);
        // Only Spanish renames the button; the design caption is the template's.
        EXPECT_EQ(a.cmdSysInfo.Caption(), c.sysInfo);
        EXPECT_NE(a.lblAuthor.Caption(), englishNotice);
    }
}

TEST_F(AboutTest, SixteenColourDisplayShowsTheSmallPicture) {
    sys.bitsPerPixel = 4;
    auto& a = Open(1033);
    EXPECT_EQ(a.picIcon.IconHandle(), a.img16.IconHandle());
    static_cast<ui::memory::MemPicture&>(a.img16).icon = platform::IconHandle{0x16};
    sys.bitsPerPixel = 32;
    auto& b = Open(1033);
    EXPECT_NE(b.picIcon.IconHandle(), platform::IconHandle{0x16});
}

TEST_F(AboutTest, LinksOpenThroughTheShell) {
    Open(1033);
    Form().Click("lblMailTo");
    Form().Click("WebLink0");
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"mailto:support@halcyra.example", "https://www.halcyra.example/"}));
    Form().ShowModeless();
    Form().Click("cmdOK");
    EXPECT_TRUE(Form().closed);
}

TEST_F(AboutTest, SystemInformationFromTheMachineKeysFirst) {
    reg.PlantString(platform::RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                    "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
    Open(1033);
    Form().Click("cmdSysInfo");
    EXPECT_EQ(processes.started,
              std::vector<std::string>{"\"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe\""});
    EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST_F(AboutTest, SystemInformationByFolderNeedsTheProgramThere) {
    const char* key = "SOFTWARE\\Microsoft\\Shared Tools Location";
    state.SettingsRoot = platform::RootKey::CurrentUser;
    reg.PlantString(platform::RootKey::CurrentUser, key, "MSINFO", "C:\\MSINFO");
    Open(1036);
    Form().Click("cmdSysInfo");
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "L 'information de système est indisponible à ce moment.");
    EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbInformation);
    sys.files["C:\\MSINFO\\MSINFO32.EXE"] = 0x20;
    Form().Click("cmdSysInfo");
    EXPECT_EQ(processes.started, std::vector<std::string>{"\"C:\\MSINFO\\MSINFO32.EXE\""});
    EXPECT_EQ(ui.messageBoxes.size(), 1u);
}

TEST_F(AboutTest, UnavailableMessageInEnglish) {
    Open(2057);
    Form().Click("cmdSysInfo");
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, "System Information is unavailable at this time.");
}

TEST(KeyValue, StringsAndDwordsAsText) {
    platform::fake::FakeRegistry reg;
    reg.PlantString(platform::RootKey::LocalMachine, "K", "s", std::string("text\0", 5));
    reg.Plant(platform::RootKey::LocalMachine, "K", "d", {platform::kRegDword, std::string("\x05\x00\x1A\x00", 4)});
    reg.Plant(platform::RootKey::LocalMachine, "K", "b", {platform::kRegBinary, "xy"});
    std::string out;
    EXPECT_TRUE(halcyrad::GetKeyValue(reg, platform::RootKey::LocalMachine, "K", "s", out));
    EXPECT_EQ(out, "text");
    EXPECT_TRUE(halcyrad::GetKeyValue(reg, platform::RootKey::LocalMachine, "K", "d", out));
    EXPECT_EQ(out, "&h01A05");
    out = "kept";
    EXPECT_TRUE(halcyrad::GetKeyValue(reg, platform::RootKey::LocalMachine, "K", "b", out));
    EXPECT_EQ(out, "kept");
    EXPECT_FALSE(halcyrad::GetKeyValue(reg, platform::RootKey::LocalMachine, "K", "missing", out));
    EXPECT_FALSE(halcyrad::GetKeyValue(reg, platform::RootKey::LocalMachine, "Nowhere", "s", out));
    EXPECT_EQ(reg.OpenHandles(), 0);
}

}  // namespace
