#include <windows.h>

#include <gtest/gtest.h>

#include "common/basCountry.h"
#include "common/basWinVer.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text.h"
#include "test_util.h"

namespace {

class Win32SystemTest : public ::testing::Test {
protected:
    std::uint16_t LanguageOf(const char* dll) {
        return basCountry::LanguageOfFile(sys, testutil::ProgramFolder() + dll);
    }
    platform::win32::Win32System sys;
};

TEST_F(Win32SystemTest, WineReportsAnNt5OrLaterPlatform) {
    common::SharedState state;
    basWinVer::GetWinVer(sys, state);
    EXPECT_EQ(state.WinPlatform, 2);
    EXPECT_EQ(state.WinVer, 5);
}

TEST_F(Win32SystemTest, TranslationWalkOnRealVersionResources) {
    EXPECT_EQ(LanguageOf("lang_de.dll"), 1031);
    EXPECT_EQ(LanguageOf("lang_de_en.dll"), 1033);
    EXPECT_EQ(LanguageOf("lang_en_de.dll"), 1033);
    EXPECT_EQ(LanguageOf("lang_fr_frca.dll"), 3084);
    EXPECT_EQ(basCountry::LanguageOf(LanguageOf("lang_fr_frca.dll")), basCountry::Language::English);
}

TEST_F(Win32SystemTest, FilesWithoutATranslationTable) {
    auto t = sys.FileTranslations(testutil::ProgramFolder() + "lang_none.dll");
    EXPECT_EQ(t.status, platform::VersionTranslations::Status::NoTranslationTable);
    EXPECT_EQ(LanguageOf("lang_none.dll"), 1033);
    // No version resource at all: the system's own UI language.
    EXPECT_EQ(sys.FileTranslations(testutil::ProgramFolder() + "no_version.dll").status,
              platform::VersionTranslations::Status::NoVersionInfo);
    EXPECT_EQ(LanguageOf("no_version.dll"), GetSystemDefaultUILanguage());
    EXPECT_EQ(LanguageOf("missing.dll"), GetSystemDefaultUILanguage());
}

TEST_F(Win32SystemTest, WindowsLanguageOnThisSystem) {
    std::string userExe = sys.SystemDirectory() + "\\user.exe";
    std::uint16_t expected = GetFileAttributesW(platform::win32::Widen(userExe).c_str()) == INVALID_FILE_ATTRIBUTES
                                 ? GetSystemDefaultUILanguage()
                                 : basCountry::LanguageOfFile(sys, userExe);
    EXPECT_EQ(basCountry::GetWindowsLanguage(sys), expected);
    EXPECT_NE(expected, 0);
}

TEST_F(Win32SystemTest, FoldersUserAndEnvironment) {
    std::string win = sys.WindowsDirectory();
    std::string sysDir = sys.SystemDirectory();
    EXPECT_EQ(CharUpperA(win.data()), std::string("C:\\WINDOWS"));
    EXPECT_EQ(sysDir.rfind(sys.WindowsDirectory(), 0), 0u);
    EXPECT_NE(sysDir.back(), '\\');
    std::string temp = sys.TempDirectory();
    EXPECT_FALSE(temp.empty());
    EXPECT_NE(temp.back(), '\\');
    EXPECT_NE(GetFileAttributesW(platform::win32::Widen(temp).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(sys.UserName().empty());
    SetEnvironmentVariableW(L"HALCYRA_TEST_VAR", L"Wert ü");
    EXPECT_EQ(sys.Environment("HALCYRA_TEST_VAR"), "Wert ü");
    EXPECT_EQ(sys.Environment("HALCYRA_NO_SUCH_VAR"), std::nullopt);
}

TEST_F(Win32SystemTest, EnglishDayNamesGiveThursdayH) {
    // The test environment runs Wine in an English locale.
    EXPECT_EQ(sys.LongDayName(0), "Sunday");
    EXPECT_EQ(sys.LongDayName(4), "Thursday");
    EXPECT_EQ(sys.LongDayName(6), "Saturday");
    common::SharedState state;
    basCountry::BuildDayInitials(sys, basCountry::ThursdayRule::DayName, state);
    EXPECT_EQ(state.DayInitials, (basSettings::DayInitialsT{"S", "M", "T", "W", "H", "F", "S"}));
}

TEST_F(Win32SystemTest, ClockGivesAConsistentLocalDate) {
    platform::win32::Win32Clock clock;
    platform::LocalTime t = clock.Now();
    EXPECT_GE(t.year, 2024);
    // The weekday the system reports agrees with the calendar.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = t.year - (t.month < 3 ? 1 : 0);
    int dow = (y + y / 4 - y / 100 + y / 400 + offsets[t.month - 1] + t.day) % 7;
    EXPECT_EQ(t.dayOfWeek, dow);
}

TEST_F(Win32SystemTest, DrivesAndTheInternetCacheFolder) {
    auto roots = sys.LogicalDriveRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.size(), static_cast<size_t>(__builtin_popcount(GetLogicalDrives())));
    EXPECT_EQ(roots.front().substr(1), ":\\");
    for (const std::string& r : roots)
        EXPECT_EQ(static_cast<UINT>(sys.KindOfDrive(r)), GetDriveTypeW(platform::win32::Widen(r).c_str())) << r;
    EXPECT_EQ(sys.KindOfDrive("C:\\"), platform::DriveKind::Fixed);
    std::string cache = sys.ShellFolder(platform::ShellFolderId::InternetCache);
    if (!cache.empty()) {
        EXPECT_NE(cache.back(), '\\');
        EXPECT_NE(GetFileAttributesW(platform::win32::Widen(cache).c_str()), INVALID_FILE_ATTRIBUTES) << cache;
    }
}

// A bare program name is found where the system keeps programs, never in
// the current folder; a name with a folder, or a folder, is no answer.
TEST_F(Win32SystemTest, ProgramsOnTheSearchPathButNotInTheCurrentFolder) {
    std::string system = sys.SystemDirectory();
    auto lower = [](std::optional<std::string> s) {
        if (s) CharLowerA(s->data());
        return s;
    };
    std::string cmd = system + "\\cmd.exe";
    CharLowerA(cmd.data());
    EXPECT_EQ(lower(sys.FindOnSearchPath("cmd")), cmd);
    EXPECT_EQ(lower(sys.FindOnSearchPath("CMD.EXE")), cmd);
    EXPECT_EQ(sys.FindOnSearchPath(system + "\\cmd.exe"), std::nullopt);
    EXPECT_EQ(sys.FindOnSearchPath("drivers"), std::nullopt);  // a folder in system32

    wchar_t tmp[MAX_PATH], old[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    GetCurrentDirectoryW(MAX_PATH, old);
    std::wstring dir = std::wstring(tmp) + L"halcyra search " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    std::wstring planted = dir + L"\\halcyra_planted.exe";
    ASSERT_TRUE(CopyFileW(platform::win32::Widen(testutil::ProgramFolder() + "exit_with.exe").c_str(), planted.c_str(),
                          FALSE));
    SetCurrentDirectoryW(dir.c_str());
    EXPECT_EQ(sys.FindOnSearchPath("halcyra_planted"), std::nullopt);
    // Not through a relative entry of the PATH either.
    std::string path = sys.Environment("PATH").value_or("");
    SetEnvironmentVariableW(L"PATH", platform::win32::Widen(".;" + path).c_str());
    EXPECT_EQ(sys.FindOnSearchPath("halcyra_planted"), std::nullopt);
    SetEnvironmentVariableW(L"PATH", platform::win32::Widen(path).c_str());
    SetCurrentDirectoryW(old);
    DeleteFileW(planted.c_str());
    RemoveDirectoryW(dir.c_str());
}

// Wine grants its user everything: an administrator, as the shell tells too.
TEST_F(Win32SystemTest, AdministratorAsTheShellTells) {
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    auto isAdmin = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(shell, "IsUserAnAdmin")));
    ASSERT_TRUE(isAdmin);
    EXPECT_EQ(sys.RunsAsAdministrator(), isAdmin() != FALSE);
    EXPECT_TRUE(sys.RunsAsAdministrator());
}

}  // namespace

namespace {

TEST(Win32SystemMessages, ErrorMessagesAreTheSystemsOwnTextsWithoutTheLineEnd) {
    platform::win32::Win32System sys;
    std::string denied = sys.ErrorMessage(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(denied.empty());
    EXPECT_NE(denied, "Error 5");
    EXPECT_NE(denied.back(), '\n');
    EXPECT_EQ(sys.ErrorMessage(0x2FFFFFFF), "Error 805306367");
}

}  // namespace
