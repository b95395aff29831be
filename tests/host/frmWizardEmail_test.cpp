#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

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
    // Next until Finish closes the wizard; `onPage` acts on each page first.
    static void NextToTheEnd(MemoryForm& f, const std::function<void(int)>& onPage = {}) {
        for (int i = 0; i < 8 && !f.closed; ++i) {
            if (onPage) onPage(Page(f));
            Next(f);
        }
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
        {"Delete temporary files", "C:\\WINDOWS\\command.com /c del \"C:\\WINDOWS\\TEMP\\*.tmp\""},
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

// Entries already listed, in any letter case, keep what their user gave
// them: a second run writes none of their values and adds no row.
TEST_F(WizardTest, ListedEntriesKeepTheirValues) {
    Windows98();
    Run([](MemoryForm& f) { Next(f, 6); });
    runList.SetCellText(2, 0, "SCAN FOR ERRORS");
    reg.PlantString(RootKey::CurrentUser, basSettings::kSettingsKey, "Scan for Errors", "C:\\mine\\scan.exe");
    reg.PlantString(RootKey::CurrentUser, basSettings::kSettingsKey, "dowScan for Errors", "17");
    std::map<std::string, std::string> before;
    for (const auto& name : RowNames()) before[name] = Stored(name);
    sys.tempDir = "C:\\TEMP";
    std::string kept;
    Run([&](MemoryForm& f) {
        Next(f, 2);
        Untick(f, "lstDrivesScan", "C:\\");
        Next(f);
        Untick(f, "lstDrivesDefrag", "C:\\");
        Next(f, 2);
        kept = f.GetLabel("lblKeptEntries").Visible() ? f.GetLabel("lblKeptEntries").Caption() : "";
        Next(f);
    });
    EXPECT_EQ(kept, "Programs already in your list keep their settings; only new ones are added.");
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Delete temporary files", "Delete temporary Internet files",
                                                    "SCAN FOR ERRORS", "Defragment", "Anti-Virus", "Backup"}));
    for (const auto& [name, command] : before) EXPECT_EQ(Stored(name), command) << name;
    EXPECT_EQ(Stored("Scan for Errors"), "C:\\mine\\scan.exe");
    EXPECT_EQ(Stored("dowScan for Errors"), "17");
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
        NextToTheEnd(f);
    }));
    // The snap-in takes no drives on a command line, and Windows 2000 has no
    // defrag.exe: no "Defragment" to offer. No cache folder: that entry is
    // left out.
    EXPECT_EQ(utilities, (std::vector<std::string>{"Anti-Virus"}));
    EXPECT_EQ(drives, (std::vector<std::string>{"C:\\", "F:\\"}));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Delete temporary files", "Anti-Virus"}));
    EXPECT_EQ(Stored("Delete temporary files"), "C:\\WINNT\\system32\\cmd.exe /c del \"C:\\TEMP\\*.tmp\"");
    EXPECT_EQ(Stored("Defragment"), "<missing>");
    EXPECT_EQ(Stored("Anti-Virus"), "\"C:\\Program Files\\McAfee\\NetShield\\scan32.exe\" C: F: /autoscan /nosplash");
}

// On NT the row comes only with a command that runs: Diskeeper's, or the
// system's defrag.exe for a user who holds the rights it requires, with the
// ticked drives in the form that Windows version takes.
TEST_F(WizardTest, NtDefragmentOnlyWithACommandThatRuns) {
    sys.drives = {{"C:\\", DriveKind::Fixed}, {"F:\\", DriveKind::Removable}};
    sys.files["C:\\WINNT\\system32\\defrag.exe"] = sys.files["C:\\WINNT\\system32\\cmd.exe"] = kPlain;
    const char* dfrg = "%systemroot%\\system32\\dfrg.msc %c:";
    struct Case {
        const char* registered;
        platform::OsVersion version;
        bool administrator, untickF;
        const char* command;  // "" for no row
    } cases[] = {
        {dfrg, {2, 10, 0}, false, false, ""},  // a standard user
        {dfrg, {2, 10, 0}, true, false, "C:\\WINNT\\system32\\defrag.exe C: F:"},
        {dfrg, {2, 6, 1}, true, true, "C:\\WINNT\\system32\\defrag.exe C:"},
        {dfrg, {2, 5, 1}, true, true, "C:\\WINNT\\system32\\defrag.exe C:"},
        {dfrg, {2, 5, 1}, true, false,
         "\"C:\\WINNT\\system32\\cmd.exe\" /c \"\"C:\\WINNT\\system32\\defrag.exe\" C: && "
         "\"C:\\WINNT\\system32\\defrag.exe\" F:\""},
        {dfrg, {2, 4, 0}, true, false, ""},  // NT 4
        {"C:\\Program Files\\Diskeeper\\sd32.exe %c:", {2, 10, 0}, false, false,
         "\"C:\\Program Files\\Diskeeper\\sd32.exe\" %c: C: F:  /both /auto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(c.version.major));
        reg.PlantString(RootKey::LocalMachine,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath", "",
                        c.registered);
        reg.DeleteValue(reg.CreateKey(RootKey::CurrentUser, basSettings::kSettingsKey), "Defragment");
        runList.DeleteAllItems();
        sys.version = c.version;
        winVer = c.version.major >= 5 ? 5 : 4;
        sys.administrator = c.administrator;
        std::vector<std::string> offered;
        Run([&](MemoryForm& f) {
            auto& u = List(f, "lstUtilities");
            for (int i = 0; i < u.ListCount(); ++i) offered.push_back(u.List(i));
            NextToTheEnd(f, [&](int page) {
                if (page == 3 && c.untickF) Untick(f, "lstDrivesDefrag", "F:\\");
            });
        });
        bool row = *c.command != '\0';
        EXPECT_EQ(offered, row ? std::vector<std::string>{"Defragment"} : std::vector<std::string>{});
        EXPECT_EQ(Stored("Defragment"), row ? c.command : "<missing>");
        std::vector<std::string> names = RowNames();
        EXPECT_EQ(std::count(names.begin(), names.end(), "Defragment"), row ? 1 : 0);
    }
}

// A deleting command names its folder quoted, whatever the folder holds; a
// root, a relative folder, and one whose name the command interpreter would
// still read ("%", "!", a quote) get no entry.
TEST_F(WizardTest, DeleteCommandsQuoteTheirFolderAndRefuseRoots) {
    struct Case {
        const char* folder;
        bool entry;
    } cases[] = {
        {"C:\\Users\\A&B (1)^x\\Temp", true}, {"\\\\srv\\share\\tmp", true}, {"D:\\", false}, {"D:", false},
        {"\\", false},  {"\\\\srv\\share", false}, {"Temp", false},   {"C:Temp", false},
        {"C:\\Users\\%USERNAME%\\Temp", false},     {"C:\\a!b!\\Temp", false},   {"C:\\a\\..", false},
        {"\\\\srv\\.\\tmp", false},  // the share "." is the server's root
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        reg.DeleteValue(reg.CreateKey(RootKey::CurrentUser, basSettings::kSettingsKey), "Delete temporary files");
        reg.DeleteValue(reg.CreateKey(RootKey::CurrentUser, basSettings::kSettingsKey), "Delete temporary Internet files");
        runList.DeleteAllItems();
        sys.tempDir = c.folder;
        sys.shellFolders[platform::ShellFolderId::InternetCache] = c.folder;
        Run([](MemoryForm& f) { NextToTheEnd(f); });
        std::string folder = c.folder;
        while (!folder.empty() && folder.back() == '\\') folder.pop_back();
        const char* shell = "C:\\WINNT\\system32\\cmd.exe /c del \"";
        EXPECT_EQ(Stored("Delete temporary files"), c.entry ? shell + folder + "\\*.tmp\"" : "<missing>");
        EXPECT_EQ(Stored("Delete temporary Internet files"), c.entry ? shell + folder + "\\*.*\" /q" : "<missing>");
        EXPECT_EQ(runList.RowCount(), c.entry ? 2 : 0);
    }
}

}  // namespace
