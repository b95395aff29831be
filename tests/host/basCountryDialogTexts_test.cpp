#include <gtest/gtest.h>

#include <vector>

#include "common/basCountry.h"
#include "common/basWinVer.h"
#include "daemon/basCountryDialogTexts.h"
#include "platform/fake/fake_system.h"
#include "support/daemon_ui.h"
#include "ui/memory/memory_ui.h"

using basCountry::TextSet;
using Items = std::vector<std::string>;

namespace {

const char* const kLogoffItem = "&Close all programs && logon as a different user";

class DialogTextsTest : public ::testing::Test {
protected:
    void Load(int platform, int winver, std::uint16_t detected, const std::string& commandLine = "halcyrad.exe") {
        state.WinPlatform = static_cast<std::int16_t>(platform);
        state.WinVer = static_cast<std::int16_t>(winver);
        state.CountryCode = detected;
        state.CommandLine = commandLine;
        state.UserName = "alice";
        basCountry::LoadDialogTexts(ui, form, sys, state);
    }

    std::string Cap(const char* name) { return form.GetLabel(name).Caption(); }
    std::string Opt(const char* name) { return form.GetOption(name).Caption(); }
    bool Shown(const char* name) { return form.GetLabel(name).Visible(); }
    bool OptShown(const char* name) { return form.GetOption(name).Visible(); }
    Items ComboItems() { return static_cast<ui::memory::MemComboBox&>(form.GetComboBox("cmbShutdown")).items; }
    Items OptionCaptions() {
        return {Cap("lblTitle"), Opt("optShutdown"), Opt("optRestart"), Opt("optLogoff"), Opt("optMSDOS"),
                Cap("cmdOK"),    Cap("cmdCancel"),   Cap("cmdHelp")};
    }

    testing_support::DaemonUi ui;
    std::unique_ptr<ui::Form> owned = ui.CreateForm("frmMain", nullptr);
    ui::memory::MemoryForm& form = static_cast<ui::memory::MemoryForm&>(*owned);
    platform::fake::FakeSystem sys;
    halcyrad::DaemonState state;
    std::array<std::string, 36>& DialogTexts = state.DialogTexts;
    std::array<std::string, 3>& InterceptTitles = state.InterceptTitles;
};

TEST_F(DialogTextsTest, EnglishWindows2000UsesTheComboBox) {
    Load(2, 5, 1033);
    EXPECT_FALSE(OptShown("optShutdown"));
    EXPECT_FALSE(OptShown("optRestart"));
    EXPECT_FALSE(OptShown("optLogoff"));
    EXPECT_FALSE(OptShown("optMSDOS"));
    EXPECT_TRUE(form.GetComboBox("cmbShutdown").Visible());
    EXPECT_TRUE(Shown("lblExplain"));
    EXPECT_EQ(Cap("lblTitle"), "What do you want the computer to do?");
    EXPECT_EQ(ComboItems(), (Items{"Logoff alice", "Shut down", "Restart"}));
    EXPECT_EQ(Cap("cmdOK"), "OK");
    EXPECT_EQ(Cap("cmdCancel"), "Cancel");
    EXPECT_EQ(Cap("cmdHelp"), "Help");
    EXPECT_TRUE(form.GetCheckBox("chkStopServices").Enabled());
    EXPECT_EQ(form.GetListBox("lstStop").BackColor(), ui::SysColor::Window);
    EXPECT_EQ(DialogTexts[30], "Ends your session, leaving the computer running on full power.");
    EXPECT_EQ(DialogTexts[32], "Ends your session and shuts down Windows so that you can safely turn off power.");

    // A second load lists the items once.
    Load(2, 5, 1033);
    EXPECT_EQ(ComboItems().size(), 3u);
}

TEST_F(DialogTextsTest, EnglishNt4UsesTheOptionButtons) {
    Load(2, 4, 1033);
    EXPECT_FALSE(form.GetComboBox("cmbShutdown").Visible());
    EXPECT_FALSE(Shown("lblExplain"));
    EXPECT_FALSE(OptShown("optMSDOS"));
    EXPECT_TRUE(OptShown("optShutdown") && OptShown("optRestart") && OptShown("optLogoff"));
    EXPECT_EQ(OptionCaptions(), (Items{"Are you sure you want to:", "&Shut down the computer?", "&Restart the computer?",
                                       "&Close all programs and log on as a different user?", "", "&Yes", "&No",
                                       "&Help"}));
    EXPECT_TRUE(ComboItems().empty());
}

TEST_F(DialogTextsTest, EnglishWindows95And98ShowMsDosAndGreyTheServices) {
    form.GetOption("optMSDOS").SetVisible(false);
    Load(1, 1, 1033);
    EXPECT_TRUE(OptShown("optMSDOS"));
    EXPECT_FALSE(form.GetComboBox("cmbShutdown").Visible());
    EXPECT_FALSE(form.GetCheckBox("chkStopServices").Enabled());
    EXPECT_FALSE(form.GetListBox("lstStop").Enabled());
    EXPECT_EQ(form.GetListBox("lstStop").BackColor(), ui::SysColor::ButtonFace);
    EXPECT_EQ(OptionCaptions(),
              (Items{"Are you sure you want to:", "&Shut down the computer?", "&Restart the computer?",
                     "&Close all programs and log on as a different user?", "Restart the computer in &MS-DOS mode?",
                     "&Yes", "&No", "&Help"}));

    Load(1, 3, 1033);
    EXPECT_EQ(OptionCaptions(),
              (Items{"What do you want the computer to do?", "&Shut down", "&Restart",
                     "&Close all programs && logon as a different user", "Restart in &MS-DOS mode", "&OK", "Cancel",
                     "Help"}));
}

TEST_F(DialogTextsTest, UnknownVersionGetsTheFamilyLayoutWithoutTexts) {
    form.GetLabel("lblTitle").SetCaption("design");
    Load(2, 0, 1033);
    EXPECT_FALSE(OptShown("optMSDOS"));
    EXPECT_TRUE(OptShown("optShutdown"));
    EXPECT_EQ(Cap("lblTitle"), "design");
    EXPECT_TRUE(ComboItems().empty());

    Load(1, 0, 1033);
    EXPECT_FALSE(form.GetCheckBox("chkStopServices").Enabled());
    EXPECT_EQ(Cap("lblTitle"), "design");
}

TEST_F(DialogTextsTest, EverySetHoldsItsOwnWording) {
    struct Case { std::uint16_t code; std::size_t slot; const char* text; };
    const Case cases[] = {
        {1033, 25, "&Close all programs && logon as a different user"},
        {1034, 7, "¿Está seguro de desea:"},
        {1034, 11, "&Sí"},
        {1034, 27, "Aceptar"},
        {3082, 17, "&cerrar todos los programas e iniciar la sesión como un usuario distinto?"},
        {1031, 10, "Anwendungen &schließen und unter anderem Namen anmelden"},
        {1031, 25, "Sind Sie sicher, dass Sie sich abmelden möchten?"},
        {1031, 7, "Wählen Sie eine der folgenden Optionen:"},
        {1040, 18, "Riavvia il sistema in modalità &MS-DOS"},
        {1040, 26, "Ria&vvia il sistema in modalità MS-DOS"},
        {1040, 13, "&?"},
        {1036, 1, "Logoff alice"},
        {1036, 8, "&Shut down the computer?"},
        {1036, 31, "Ends your session, shuts down Windows, and starts Windows again."},
        {1030, 17, "Lukke &alle programmer og logge på som en anden breuger?"},
        {1030, 21, "&Hjælp"},
        {1030, 7, "Are you sure you want to:"},
        {1043, 17, "Alle programma's af&sluiten en u opnieuw aanmelden?"},
        {1043, 26, "De computer opnieuw opstarten in &MS-DOS-modus?"},
        {1043, 27, "&Ja"},
    };
    for (const Case& c : cases) {
        basCountry::FillTextTables(basCountry::TextSetFor(c.code), "alice", state);
        EXPECT_EQ(DialogTexts[c.slot], c.text) << c.code << " slot " << c.slot;
        for (std::size_t slot = 33; slot < 36; ++slot) EXPECT_EQ(DialogTexts[slot], "");
    }
}

TEST_F(DialogTextsTest, OnlyKnownCodesLeaveEnglish) {
    EXPECT_EQ(basCountry::TextSetFor(1034), TextSet::Spanish);
    EXPECT_EQ(basCountry::TextSetFor(3082), TextSet::Spanish);
    EXPECT_EQ(basCountry::TextSetFor(1030), TextSet::Danish);
    EXPECT_EQ(basCountry::TextSetFor(1043), TextSet::Dutch);
    for (std::uint16_t code : {0, 1033, 1053, 2057, 3079, 3084, 2067})
        EXPECT_EQ(basCountry::TextSetFor(code), TextSet::English) << code;

    Load(2, 4, 1053);
    EXPECT_EQ(Cap("lblTitle"), "Are you sure you want to:");
    EXPECT_EQ(Cap("cmdOK"), "&Yes");
}

TEST_F(DialogTextsTest, InterceptTitlesPerSet) {
    struct Case { TextSet set; std::array<std::string, 3> titles; };
    const Case cases[] = {
        {TextSet::English, {"Shut Down Windows", "Log Off Windows", ""}},
        {TextSet::Spanish, {"Salir de Windows", "Cerrar la sesión en Windows", "Cerrar Windows"}},
        {TextSet::German, {"Windows beenden", "Abmelden", "Windows NT beenden"}},
        {TextSet::Italian, {"Fine della sessione di lavoro", "Disconnessione da Windows", ""}},
        {TextSet::French, {"Shut Down Windows", "Log Off Windows", ""}},
        {TextSet::Danish, {"Luk Windows", "Log Off Windows", ""}},
        {TextSet::Dutch, {"Windows afsluiten", "Log Off Windows", ""}},
    };
    for (const Case& c : cases) {
        basCountry::FillTextTables(c.set, "alice", state);
        EXPECT_EQ(InterceptTitles, c.titles) << static_cast<int>(c.set);
    }
}

TEST_F(DialogTextsTest, TranslatedComboItemsFollowTheDialogsOrder) {
    for (std::uint16_t code : {1034, 1031, 1040, 1030, 1043}) {
        Load(2, 5, code);
        EXPECT_EQ(ComboItems(), (Items{kLogoffItem, "&Shut down", "&Restart"})) << code;
        EXPECT_EQ(Cap("cmdOK"), "&OK");
        EXPECT_EQ(Cap("cmdHelp"), "&Help");
    }
    Load(2, 5, 1036);
    EXPECT_EQ(ComboItems(), (Items{"Logoff alice", "Shut down", "Restart"}));
}

TEST_F(DialogTextsTest, GermanWindows2000HasNoDescriptions) {
    Load(2, 5, 1033);  // a previous set must not leave its descriptions behind
    Load(2, 5, 1031);
    for (std::size_t slot = 30; slot <= 32; ++slot) EXPECT_EQ(DialogTexts[slot], "") << slot;
    EXPECT_EQ(InterceptTitles[2], "Windows NT beenden");
}

TEST_F(DialogTextsTest, DanishWording95Only) {
    Load(1, 3, 1030);
    EXPECT_EQ(Cap("lblTitle"), "What do you want the computer to do?");
    EXPECT_EQ(Opt("optLogoff"), kLogoffItem);
    Load(1, 1, 1030);
    EXPECT_EQ(OptionCaptions(),
              (Items{"Vil du:", "&Lukke computeren?", "Gen&starte computeren?",
                     "Lukke &alle programmer og logge på som en anden breuger?",
                     "Genstarte computeren i &MS-DOS-tilstand?", "&Ja", "&Nej", "&Hjælp"}));
}

TEST_F(DialogTextsTest, CountrySwitchOverridesOnlyAsAPlainTrailingNumber) {
    Load(2, 4, 1033, "halcyrad.exe /country=3082");
    EXPECT_EQ(state.CountryCode, 3082);
    EXPECT_EQ(Cap("lblTitle"), "¿Está seguro de desea:");

    Load(2, 4, 1033, "halcyrad.exe /noexit /country=1031");
    EXPECT_EQ(state.CountryCode, 1031);
    EXPECT_EQ(Opt("optLogoff"), "Anwendungen &schließen und unter anderem Namen anmelden");

    for (const char* cmd : {"halcyrad.exe /country=1031 /develop", "halcyrad.exe /country=abc",
                            "halcyrad.exe /country=70000", "halcyrad.exe /country=-1", "halcyrad.exe /country=",
                            "halcyrad.exe /Country=1031"}) {
        Load(2, 4, 1040, cmd);
        EXPECT_EQ(state.CountryCode, 1040) << cmd;
        EXPECT_EQ(Cap("lblTitle"), "Scegliere una delle seguenti opzioni:") << cmd;
    }
}

TEST_F(DialogTextsTest, DevelopShowsCodeAndVersion) {
    Load(2, 4, 1033);
    EXPECT_TRUE(ui.messageBoxes.empty());

    Load(2, 4, 1040, "halcyrad.exe /country=1031 /develop");
    ASSERT_EQ(ui.messageBoxes.size(), 2u);
    EXPECT_EQ(ui.messageBoxes[0].text, "The Country Code is 1040");
    EXPECT_EQ(ui.messageBoxes[0].title, "Halcyra");
    EXPECT_EQ(ui.messageBoxes[0].flags, ui::kMbOk);
    EXPECT_EQ(ui.messageBoxes[1].text,
              "WinPlatform (Win95/98=1; NT=2): 2\r\nWINVER (WIN95=1; WIN98=3; WINNT4=4; WINNT5=5):  4");
    EXPECT_EQ(ui.messageBoxes[1].title, "#2");
    EXPECT_EQ(ui.messageBoxes[1].flags, ui::kMbOk);

    // The first box reports the code after the override.
    Load(1, 3, 1040, "halcyrad.exe /develop /country=1036");
    ASSERT_EQ(ui.messageBoxes.size(), 4u);
    EXPECT_EQ(ui.messageBoxes[2].text, "The Country Code is 1036");
    EXPECT_EQ(ui.messageBoxes[3].text,
              "WinPlatform (Win95/98=1; NT=2): 1\r\nWINVER (WIN95=1; WIN98=3; WINNT4=4; WINNT5=5):  3");
}

TEST_F(DialogTextsTest, ThursdayIsHOnlyFor1033) {
    Load(2, 5, 1033);
    EXPECT_EQ(state.DayInitials, (basSettings::DayInitialsT{"S", "M", "T", "W", "H", "F", "S"}));
    Load(2, 5, 2057);
    EXPECT_EQ(state.DayInitials[4], "T");
    Load(2, 5, 1031, "halcyrad.exe /country=1033");
    EXPECT_EQ(state.DayInitials[4], "H");
}

}  // namespace
