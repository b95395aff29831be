#include <gtest/gtest.h>

#include <functional>

#include "common/basSettings.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "support/daemon_ui.h"
#include "ui/memory/memory_ui.h"
#include "wizard/ListViewRunList.h"
#include "wizard/basUtilityWizard.h"

namespace {

namespace U = basUtilityWizard;
using platform::DriveKind;
using platform::RootKey;
using ui::memory::MemoryForm;

constexpr std::uint32_t kPlain = 0x20;
constexpr const char* kVirusScan = "C:\\Program Files\\Network Associates\\McAfee VirusScan\\scan32.exe";

class WizardTest : public ::testing::Test {
protected:
    WizardTest() {
        runList.AddColumn("Programs");
        runList.AddColumn("Days Run");
        runList.SetCheckBoxes();
    }

    // Windows 98 in C:\WINDOWS with drives C: and D:, every utility installed.
    void Windows98() {
        winPlatform = 1;
        winVer = 3;
        sys.windowsDir = "C:\\WINDOWS";
        sys.systemDir = "C:\\WINDOWS\\SYSTEM";
        sys.tempDir = "C:\\WINDOWS\\TEMP";
        sys.env = {{"windir", "C:\\WINDOWS"}};
        sys.drives = {{"A:\\", DriveKind::Removable}, {"C:\\", DriveKind::Fixed}, {"D:\\", DriveKind::Fixed}};
        sys.shellFolders[platform::ShellFolderId::InternetCache] = "C:\\WINDOWS\\Temporary Internet Files";
        for (const char* f : {"C:\\WINDOWS\\defrag.exe", kVirusScan, "c:\\progra~1\\access~1\\backup\\msbackup.exe"})
            sys.files[f] = kPlain;
    }

    // Runs the wizard; `user` acts while it is shown.
    bool Run(std::function<void(MemoryForm&)> user) {
        ui.OnModal("frmWizardEmail", user);
        U::WizardContext ctx{reg, sys, winPlatform, winVer, countryCode, RootKey::CurrentUser};
        return U::RunSetupWizard(ui, nullptr, ctx, rows);
    }
    static void Next(MemoryForm& f, int times = 1) {
        for (int i = 0; i < times; ++i) f.Click("cmdNext");
    }
    // The page shown: the one panel that is visible.
    static int Page(MemoryForm& f) {
        int shown = -1;
        for (int p = 0; p < 6; ++p)
            if (f.GetLabel("Frame1(" + std::to_string(p) + ")").Visible()) {
                if (shown >= 0) return -2;
                shown = p;
            }
        return shown;
    }
    static ui::memory::MemListBox& List(MemoryForm& f, const char* name) {
        return static_cast<ui::memory::MemListBox&>(f.GetListBox(name));
    }
    static void Untick(MemoryForm& f, const char* list, const std::string& entry) {
        auto& l = List(f, list);
        for (int i = 0; i < l.ListCount(); ++i)
            if (l.List(i) == entry) l.SetSelected(i, false);
    }
    std::string Stored(const std::string& name) const {
        auto v = reg.Peek(RootKey::CurrentUser, basSettings::kSettingsKey, name);
        return v ? v->data : "<missing>";
    }
    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (int r = 0; r < runList.RowCount(); ++r) names.push_back(runList.GetItemText(r, 0));
        return names;
    }

    platform::fake::FakeRegistry reg;
    platform::fake::FakeSystem sys;
    testing_support::DaemonUi ui;
    ui::memory::MemListView runList;
    wizard::ListViewRunList rows{runList, "SMTWHFS"};
    std::int16_t winPlatform = 2, winVer = 5;
    std::uint16_t countryCode = 1033;
};

TEST_F(WizardTest, Windows98WorkedExampleWritesSixEntriesAndTicksSixRows) {
    Windows98();
    std::vector<std::string> utilities, drives;
    bool closedByFinish = false;
    EXPECT_TRUE(Run([&](MemoryForm& f) {
        auto& u = List(f, "lstUtilities");
        for (int i = 0; i < u.ListCount(); ++i) utilities.push_back(u.List(i) + (u.Selected(i) ? "+" : "-"));
        auto& d = List(f, "lstDrivesDefrag");
        for (int i = 0; i < d.ListCount(); ++i) drives.push_back(d.List(i) + (d.Selected(i) ? "+" : "-"));
        Next(f, 6);
        closedByFinish = f.closed;
    }));
    EXPECT_EQ(utilities, (std::vector<std::string>{"Scan for Errors+", "Defragment+", "Anti-Virus+", "Backup+"}));
    EXPECT_EQ(drives, (std::vector<std::string>{"C:\\+", "D:\\+"}));
    struct Value { const char* name; const char* command; } values[] = {
        {"Delete temporary files", "C:\\WINDOWS\\command.com /c del C:\\WINDOWS\\TEMP\\*.tmp"},
        {"Delete temporary Internet files",
         "C:\\WINDOWS\\command.com /c del \"C:\\WINDOWS\\Temporary Internet Files\\*.*\" /q"},
        {"Scan for Errors", "C:\\WINDOWS\\scandskw.exe C: D:  /silent /n"},
        {"Defragment", "C:\\WINDOWS\\defrag.exe C: D:  /all /f /noprompt"},
        {"Anti-Virus", "\"C:\\Program Files\\Network Associates\\McAfee VirusScan\\scan32.exe\" C: D: /autoscan /nosplash"},
        {"Backup", "c:\\progra~1\\access~1\\backup\\msbackup.exe"},
    };
    std::vector<std::string> expectedRows;
    for (const Value& v : values) {
        EXPECT_EQ(Stored(v.name), v.command) << v.name;
        EXPECT_EQ(Stored(std::string("dow") + v.name), "1234567") << v.name;
        expectedRows.push_back(v.name);
    }
    EXPECT_EQ(RowNames(), expectedRows);
    for (int r = 0; r < runList.RowCount(); ++r) {
        EXPECT_TRUE(runList.IsItemChecked(r)) << r;
        EXPECT_EQ(runList.GetItemText(r, 1), "SMTWHFS") << r;
    }
    EXPECT_EQ(Stored("RanQuickStart"), "True");
    EXPECT_TRUE(closedByFinish);
}

TEST_F(WizardTest, PagesFollowTheTickedUtilities) {
    Windows98();
    struct Case {
        std::vector<std::string> unticked;
        std::vector<int> forward, back;
    } cases[] = {
        {{"Scan for Errors", "Defragment", "Anti-Virus", "Backup"}, {0, 1, 5}, {1, 0}},
        {{"Scan for Errors", "Defragment"}, {0, 1, 4, 5}, {4, 1, 0}},
        {{"Anti-Virus"}, {0, 1, 2, 3, 5}, {3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<int> forward, back;
        std::vector<std::string> nextCaptions;
        bool iconsSwapped = false, backDisabledAtStart = false;
        Run([&](MemoryForm& f) {
            static_cast<ui::memory::MemPicture&>(f.GetPicture("imgFinished")).icon = {0xF1};
            static_cast<ui::memory::MemPicture&>(f.GetPicture("imgProcess")).icon = {0x9C};
            backDisabledAtStart = !f.GetButton("cmdBack").Enabled();
            forward.push_back(Page(f));
            Next(f);
            for (const auto& u : c.unticked) Untick(f, "lstUtilities", u);
            while (Page(f) != 5 && forward.size() < 8) {
                forward.push_back(Page(f));
                Next(f);
            }
            forward.push_back(Page(f));
            nextCaptions.push_back(f.GetButton("cmdNext").Caption());
            bool finishedIcon = f.GetPicture("imgMain").IconHandle().value == 0xF1;
            while (Page(f) != 0 && back.size() < 8) {
                f.Click("cmdBack");
                back.push_back(Page(f));
            }
            nextCaptions.push_back(f.GetButton("cmdNext").Caption());
            iconsSwapped = finishedIcon && f.GetPicture("imgMain").IconHandle().value == 0x9C;
            EXPECT_FALSE(f.GetButton("cmdBack").Enabled());
            f.Click("cmdCancel");
        });
        EXPECT_EQ(forward, c.forward) << c.unticked.size();
        EXPECT_EQ(back, c.back) << c.unticked.size();
        EXPECT_EQ(nextCaptions, (std::vector<std::string>{"&Finish", "&Next >"}));
        EXPECT_TRUE(iconsSwapped);
        EXPECT_TRUE(backDisabledAtStart);
    }
}

TEST_F(WizardTest, NothingTickedStillAddsTheTemporaryFileEntries) {
    Windows98();
    EXPECT_TRUE(Run([&](MemoryForm& f) {
        Next(f);
        for (const char* u : {"Scan for Errors", "Defragment", "Anti-Virus", "Backup"}) Untick(f, "lstUtilities", u);
        Next(f, 2);
    }));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Delete temporary files", "Delete temporary Internet files"}));
    EXPECT_EQ(Stored("Defragment"), "<missing>");
    EXPECT_EQ(Stored("RanQuickStart"), "True");
}

TEST_F(WizardTest, RunningTwiceRefreshesUtilityCommandsOnly) {
    Windows98();
    Run([](MemoryForm& f) { Next(f, 6); });
    sys.tempDir = "C:\\TEMP";
    Run([&](MemoryForm& f) {
        Next(f, 2);
        Untick(f, "lstDrivesScan", "C:\\");
        Untick(f, "lstDrivesScan", "D:\\");
        Next(f);
        Untick(f, "lstDrivesDefrag", "C:\\");
        Next(f, 3);
    });
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Delete temporary files", "Delete temporary Internet files",
                                                    "Scan for Errors", "Defragment", "Anti-Virus", "Backup"}));
    EXPECT_EQ(Stored("Scan for Errors"), "C:\\WINDOWS\\scandskw.exe  /silent /n");
    EXPECT_EQ(Stored("Defragment"), "C:\\WINDOWS\\defrag.exe D:  /all /f /noprompt");
    EXPECT_EQ(Stored("Delete temporary files"), "C:\\WINDOWS\\command.com /c del C:\\WINDOWS\\TEMP\\*.tmp");
}

// What is gone when Finish is pressed is not written: no command without its
// program over a stored one, no delete in the root when the system names
// no temporary folder.
TEST_F(WizardTest, WhatIsGoneAtFinishIsNotWritten) {
    Windows98();
    const char* stored = "C:\\WINDOWS\\defrag.exe C:  /all /f /noprompt";
    reg.PlantString(RootKey::CurrentUser, basSettings::kSettingsKey, "Defragment", stored);
    runList.AddRow("Defragment");
    sys.tempDir = "";
    EXPECT_TRUE(Run([&](MemoryForm& f) {
        Next(f, 5);
        sys.files.erase("C:\\WINDOWS\\defrag.exe");
        sys.files.erase(kVirusScan);
        Next(f);
    }));
    EXPECT_EQ(Stored("Defragment"), stored);
    EXPECT_EQ(Stored("Anti-Virus"), "<missing>");
    EXPECT_EQ(Stored("Delete temporary files"), "<missing>");
    EXPECT_EQ(RowNames(),
              (std::vector<std::string>{"Defragment", "Delete temporary Internet files", "Scan for Errors", "Backup"}));
}

TEST_F(WizardTest, CancelAndTheCloseBoxWriteNothing) {
    Windows98();
    EXPECT_FALSE(Run([](MemoryForm& f) {
        Next(f, 5);
        f.Click("cmdCancel");
    }));
    EXPECT_FALSE(Run([](MemoryForm& f) {
        Next(f, 5);
        f.RequestClose();
    }));
    EXPECT_FALSE(Run([](MemoryForm&) {}));
    EXPECT_EQ(Stored("RanQuickStart"), "<missing>");
    EXPECT_EQ(Stored("Delete temporary files"), "<missing>");
    EXPECT_EQ(runList.RowCount(), 0);
}

TEST_F(WizardTest, GermanTextsWithEnglishNamesAndPageCaptions) {
    Windows98();
    countryCode = 1031;
    std::vector<std::string> nextCaptions;
    Run([&](MemoryForm& f) {
        EXPECT_EQ(f.Caption(), "Halcyra Konfiguration Wizard");
        EXPECT_EQ(f.GetLabel("lblClickNext(3)").Caption(), "Klicken nahe bei fährt fort. ");
        EXPECT_EQ(f.GetButton("cmdBack").Caption(), "< Rückwärts");
        EXPECT_EQ(List(f, "lstUtilities").List(2), "Anti-Virus");
        nextCaptions.push_back(f.GetButton("cmdNext").Caption());
        Next(f, 4);
        nextCaptions.push_back(f.GetButton("cmdNext").Caption());
        Next(f);
        nextCaptions.push_back(f.GetButton("cmdNext").Caption());
        f.Click("cmdBack");
        nextCaptions.push_back(f.GetButton("cmdNext").Caption());
        f.Click("cmdCancel");
    });
    EXPECT_EQ(nextCaptions, (std::vector<std::string>{"Zunächst >", "Zunächst >", "&Finish", "&Next >"}));
}

TEST_F(WizardTest, NtEntries) {
    sys.env = {{"SystemDrive", "C:"}};
    sys.drives = {{"c:\\", DriveKind::Fixed},    {"E:\\", DriveKind::CdRom}, {"F:\\", DriveKind::Removable},
                  {"G:\\", DriveKind::Remote},   {"B:\\", DriveKind::Removable}};
    sys.files["C:\\Program Files\\McAfee\\NetShield\\scan32.exe"] = kPlain;
    reg.PlantString(RootKey::LocalMachine,
                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath", "",
                    "%systemroot%\\system32\\dfrg.msc %c:");
    std::vector<std::string> utilities, drives;
    EXPECT_TRUE(Run([&](MemoryForm& f) {
        auto& u = List(f, "lstUtilities");
        for (int i = 0; i < u.ListCount(); ++i) utilities.push_back(u.List(i));
        auto& d = List(f, "lstDrivesAntiVirus");
        for (int i = 0; i < d.ListCount(); ++i) drives.push_back(d.List(i));
        Next(f, 5);
    }));
    EXPECT_EQ(utilities, (std::vector<std::string>{"Defragment", "Anti-Virus"}));
    EXPECT_EQ(drives, (std::vector<std::string>{"C:\\", "F:\\"}));
    // No cache folder: that entry is left out. The defragmenter is not
    // Diskeeper: its row comes without a command.
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Delete temporary files", "Defragment", "Anti-Virus"}));
    EXPECT_EQ(Stored("Delete temporary files"), "C:\\WINNT\\system32\\cmd.exe /c del C:\\TEMP\\*.tmp");
    EXPECT_EQ(Stored("Defragment"), "<missing>");
    EXPECT_EQ(Stored("dowDefragment"), "<missing>");
    EXPECT_EQ(Stored("Anti-Virus"), "\"C:\\Program Files\\McAfee\\NetShield\\scan32.exe\" C: F: /autoscan /nosplash");

    reg.PlantString(RootKey::LocalMachine,
                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath", "",
                    "C:\\Program Files\\Diskeeper\\sd32.exe %c:");
    Run([](MemoryForm& f) { Next(f, 5); });
    EXPECT_EQ(Stored("Defragment"), "\"C:\\Program Files\\Diskeeper\\sd32.exe\" %c: C: F:  /both /auto");
    EXPECT_EQ(Stored("dowDefragment"), "1234567");

    // A registered path that names a file is the program whole, though a
    // folder of it holds ".exe" and a blank.
    const char* odd = "C:\\Tools.exe Folder\\sd32.exe";
    sys.files[odd] = kPlain;
    reg.PlantString(RootKey::LocalMachine,
                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath", "", odd);
    Run([](MemoryForm& f) { Next(f, 5); });
    EXPECT_EQ(Stored("Defragment"), "\"C:\\Tools.exe Folder\\sd32.exe\" C: F:  /both /auto");
}

}  // namespace
