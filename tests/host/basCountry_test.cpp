#include <gtest/gtest.h>

#include "common/basCountry.h"
#include "common/basWinVer.h"
#include "platform/fake/fake_system.h"

using basCountry::Language;
using platform::VersionTranslations;
using platform::fake::FakeSystem;

namespace {

VersionTranslations Table(std::initializer_list<std::uint32_t> langs) {
    VersionTranslations t;
    t.status = VersionTranslations::Status::Ok;
    for (auto l : langs) t.entries.push_back(l | (1252u << 16));
    return t;
}

class CountryTest : public ::testing::Test {
protected:
    std::uint16_t LanguageWith(VersionTranslations t) {
        sys.translations["C:\\WINNT\\system32\\user.exe"] = t;
        return basCountry::GetWindowsLanguage(sys);
    }
    FakeSystem sys;
    common::SharedState state;
};

TEST_F(CountryTest, VersionsMapToWinver) {
    struct Case { std::uint32_t platform, major, minor; int winver; };
    for (Case c : {Case{1, 4, 0, 1}, Case{1, 4, 10, 3}, Case{1, 4, 90, 3}, Case{2, 4, 0, 4},
                   Case{2, 5, 0, 5}, Case{2, 10, 0, 5}, Case{2, 3, 51, 0}, Case{1, 5, 0, 0}}) {
        sys.version = {c.platform, c.major, c.minor};
        state.WinVer = 99;
        basWinVer::GetWinVer(sys, state);
        EXPECT_EQ(state.WinPlatform, static_cast<int>(c.platform));
        EXPECT_EQ(state.WinVer, c.winver) << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST_F(CountryTest, TranslationWalkPrefersEnglishElseTakesTheLast) {
    EXPECT_EQ(LanguageWith(Table({1031})), 1031);
    EXPECT_EQ(LanguageWith(Table({1031, 1033})), 1033);
    EXPECT_EQ(LanguageWith(Table({1033, 1031})), 1033);
    EXPECT_EQ(LanguageWith(Table({1036, 3084})), 3084);
    EXPECT_EQ(LanguageWith(Table({3082, 1040})), 1040);
    ASSERT_FALSE(sys.translationQueries.empty());
    EXPECT_EQ(sys.translationQueries.back(), "C:\\WINNT\\system32\\user.exe");
}

TEST_F(CountryTest, NoTranslationTableIsEnglish) {
    VersionTranslations t;
    t.status = VersionTranslations::Status::NoTranslationTable;
    EXPECT_EQ(LanguageWith(t), 1033);
    EXPECT_EQ(LanguageWith(Table({})), 1033);
}

TEST_F(CountryTest, MissingUserExeFallsBackToTheSystemUiLanguage) {
    sys.uiLanguage = 1040;
    EXPECT_EQ(basCountry::GetWindowsLanguage(sys), 1040);  // nothing planted: no version info
    sys.systemDir = "C:\\";
    basCountry::GetWindowsLanguage(sys);
    EXPECT_EQ(sys.translationQueries.back(), "C:\\user.exe");
}

TEST_F(CountryTest, OnlyExactIdentifiersPickALanguage) {
    EXPECT_EQ(basCountry::LanguageOf(1034), Language::Spanish);
    EXPECT_EQ(basCountry::LanguageOf(3082), Language::Spanish);
    EXPECT_EQ(basCountry::LanguageOf(1031), Language::German);
    EXPECT_EQ(basCountry::LanguageOf(1040), Language::Italian);
    EXPECT_EQ(basCountry::LanguageOf(1036), Language::French);
    for (std::uint16_t c : {1033, 0, 2057, 3079, 2055, 2064, 3084, 1030, 1043})
        EXPECT_EQ(basCountry::LanguageOf(c), Language::English) << c;
}

TEST_F(CountryTest, EnglishInitialsWithThursdayH) {
    basCountry::BuildDayInitials(sys, basCountry::ThursdayRule::DayName, state);
    EXPECT_EQ(state.DayInitials, (basSettings::DayInitialsT{"S", "M", "T", "W", "H", "F", "S"}));

    // The daemon's rule goes by the country code, not the name.
    state.CountryCode = 2057;
    basCountry::BuildDayInitials(sys, basCountry::ThursdayRule::CountryCode, state);
    EXPECT_EQ(state.DayInitials[4], "T");
    state.CountryCode = 1033;
    basCountry::BuildDayInitials(sys, basCountry::ThursdayRule::CountryCode, state);
    EXPECT_EQ(state.DayInitials[4], "H");
}

TEST_F(CountryTest, FrenchAndAccentedInitialsStayWhole) {
    sys.dayNames = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
    state.CountryCode = 1033;  // an English Windows with a French locale
    basCountry::BuildDayInitials(sys, basCountry::ThursdayRule::DayName, state);
    EXPECT_EQ(state.DayInitials, (basSettings::DayInitialsT{"d", "l", "m", "m", "j", "v", "s"}));

    sys.dayNames = {"Κυριακή", "Δευτέρα", "Τρίτη", "Τετάρτη", "Πέμπτη", "Παρασκευή", "Σάββατο"};
    basCountry::BuildDayInitials(sys, basCountry::ThursdayRule::DayName, state);
    EXPECT_EQ(state.DayInitials[0], "Κ");
    EXPECT_EQ(basCountry::FirstCharacter("été"), "é");
    EXPECT_EQ(basCountry::FirstCharacter("日曜日"), "日");
    EXPECT_EQ(basCountry::FirstCharacter(""), "");
}

}  // namespace
