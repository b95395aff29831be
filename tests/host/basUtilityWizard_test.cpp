#include <gtest/gtest.h>

#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "wizard/basUtilityWizard.h"

namespace {

namespace U = basUtilityWizard;
using platform::RootKey;

constexpr std::uint32_t kPlain = 0x20, kHidden = 0x22, kSystem = 0x24, kFolder = 0x10;
constexpr const char* kDefragKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\DefragPath";
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class FinderTest : public ::testing::Test {
protected:
    U::WizardContext Ctx(std::int16_t winPlatform, std::int16_t winVer) { return {reg, sys, winPlatform, winVer}; }
    void Plant(const std::string& path) { sys.files[path] = kPlain; }
    void PlantMachine(const std::string& key, std::uint32_t type, const std::string& text) {
        reg.Plant(RootKey::LocalMachine, key, "", {type, text + std::string(1, '\0')});
    }
    platform::fake::FakeRegistry reg;
    platform::fake::FakeSystem sys;
};

TEST(FolderOf, NamesAFolderOnlyWhenTheTextHoldsOne) {
    struct Case { const char* path; const char* folder; } cases[] = {
        {"C:\\WINDOWS\\defrag.exe", "C:\\WINDOWS"},
        {"C:\\defrag.exe", "C:"},
        {"%systemroot%\\system32\\dfrg.msc %c:", "%systemroot%\\system32"},
        {"sd32.exe %c:", ""},
        {"\\", ""},
        {"", ""},
        {"tools\\", "tools"},
    };
    for (const Case& c : cases) EXPECT_EQ(U::FolderOf(c.path), c.folder) << c.path;
}

TEST_F(FinderTest, FileExistsOnlyForPlainFiles) {
    sys.files = {{"C:\\a.exe", kPlain}, {"C:\\h.exe", kHidden}, {"C:\\s.exe", kSystem}, {"C:\\dir", kFolder}};
    EXPECT_TRUE(U::FileExists(sys, "C:\\a.exe"));
    for (const char* p : {"C:\\h.exe", "C:\\s.exe", "C:\\dir", "C:\\missing.exe"}) EXPECT_FALSE(U::FileExists(sys, p)) << p;
}

TEST_F(FinderTest, Windows9xUtilitiesAndNoneOfThemOnNt) {
    sys.windowsDir = "C:\\WINDOWS";
    // The disk checker is offered without looking for it.
    EXPECT_EQ(U::FindScanDisk(Ctx(1, 3)), "C:\\WINDOWS\\scandskw.exe");
    EXPECT_EQ(U::FindDefragmenter(Ctx(1, 3)), "");
    EXPECT_EQ(U::FindBackup(Ctx(1, 3)), "");
    Plant("C:\\WINDOWS\\defrag.exe");
    Plant("c:\\progra~1\\access~1\\backup\\msbackup.exe");
    Plant("c:\\progra~1\\access~1\\backup.exe");
    EXPECT_EQ(U::FindDefragmenter(Ctx(1, 3)), "C:\\WINDOWS\\defrag.exe");
    EXPECT_EQ(U::FindBackup(Ctx(1, 3)), "c:\\progra~1\\access~1\\backup\\msbackup.exe");
    EXPECT_EQ(U::FindBackup(Ctx(1, 1)), "c:\\progra~1\\access~1\\backup.exe");
    EXPECT_EQ(U::FindBackup(Ctx(1, 4)), "");
    EXPECT_EQ(U::FindScanDisk(Ctx(2, 5)), "");
    EXPECT_EQ(U::FindBackup(Ctx(2, 5)), "");
    EXPECT_EQ(U::FindScanDisk(Ctx(0, 0)), "");
    EXPECT_EQ(U::FindDefragmenter(Ctx(0, 0)), "");
}

TEST_F(FinderTest, NtDefragmenterIsTheRegisteredCommand) {
    EXPECT_EQ(U::FindDefragmenter(Ctx(2, 5)), "");
    // A path comes back whole: arguments kept, variables unexpanded.
    PlantMachine(kDefragKey, platform::kRegExpandSz, "%systemroot%\\system32\\dfrg.msc %c:");
    EXPECT_EQ(U::FindDefragmenter(Ctx(2, 5)), "%systemroot%\\system32\\dfrg.msc %c:");
    // A bare program name is looked up under the shell's program paths.
    PlantMachine(kDefragKey, platform::kRegSz, "sd32.exe %c:");
    EXPECT_EQ(U::FindDefragmenter(Ctx(2, 5)), "");
    PlantMachine(std::string(kAppPaths) + "sd32.exe", platform::kRegSz, "C:\\Program Files\\Diskeeper\\sd32.exe");
    EXPECT_EQ(U::FindDefragmenter(Ctx(2, 4)), "C:\\Program Files\\Diskeeper\\sd32.exe");
    EXPECT_EQ(reg.OpenHandles(), 0);
}

TEST_F(FinderTest, VirusScannerIsTheFirstCandidateFound) {
    sys.env = {{"windir", "D:\\WIN98"}, {"SystemDrive", "C:"}};
    EXPECT_EQ(U::FindVirusScanner(Ctx(2, 5)), "");
    // F-PROT's path keeps the doubled separator it is built with.
    Plant("C:\\Program Files\\\\f-protnt\\f-protnt.exe");
    EXPECT_EQ(U::FindVirusScanner(Ctx(2, 5)), "C:\\Program Files\\\\f-protnt\\f-protnt.exe");
    Plant("C:\\IBMAVNT\\ibmavwnt.exe");
    EXPECT_EQ(U::FindVirusScanner(Ctx(2, 5)), "C:\\IBMAVNT\\ibmavwnt.exe");
    Plant("C:\\Program Files\\navnt\\navwnt.exe");
    Plant("C:\\Program Files\\McAfee\\NetShield NT\\scan32.exe");
    EXPECT_EQ(U::FindVirusScanner(Ctx(2, 5)), "C:\\Program Files\\McAfee\\NetShield NT\\scan32.exe");
    // Windows 95/98 look on the Windows drive.
    EXPECT_EQ(U::FindVirusScanner(Ctx(1, 3)), "");
    Plant("D:\\Program Files\\norton antivirus\\navw32.exe");
    EXPECT_EQ(U::FindVirusScanner(Ctx(1, 3)), "D:\\Program Files\\norton antivirus\\navw32.exe");
    EXPECT_EQ(U::FindVirusScanner(Ctx(3, 0)), "");
}

}  // namespace
