#include <gtest/gtest.h>

#include "common/basSettings.h"
#include "platform/fake/fake_registry.h"

using namespace basSettings;
using platform::RegData;
using platform::RootKey;
using platform::fake::FakeRegistry;

namespace {

const DayInitialsT kEnglish{"S", "M", "T", "W", "H", "F", "S"};

class SettingsTest : public ::testing::Test {
protected:
    void Put(const std::string& name, const std::string& text) {
        reg.PlantString(RootKey::CurrentUser, kSettingsKey, name, text);
    }
    FakeRegistry reg;
    Store store{reg, RootKey::CurrentUser};
};

TEST(Conversion, DecimalIntegersWithSignAndBlanksThatFit) {
    EXPECT_EQ(ToInt16("1"), 1);
    EXPECT_EQ(ToInt16("  -12 "), -12);
    EXPECT_EQ(ToInt16("+7"), 7);
    EXPECT_EQ(ToInt16("32767"), 32767);
    EXPECT_EQ(ToInt16("-32768"), -32768);
    EXPECT_EQ(ToInt16("70000"), std::nullopt);
    EXPECT_EQ(ToInt16("32768"), std::nullopt);
    EXPECT_EQ(ToInt32("70000"), 70000);
    EXPECT_EQ(ToInt32("3641999"), 3641999);
    EXPECT_EQ(ToInt32("2147483648"), std::nullopt);
    EXPECT_EQ(ToInt32("99999999999999999999999"), std::nullopt);
    for (const char* bad : {"", " ", "-", "abc", "1.5", "1e3", "12abc", "0x10", "1 2", "--1"})
        EXPECT_EQ(ToInt32(bad), std::nullopt) << '"' << bad << '"';
}

TEST(Conversion, BooleansReadWordsAndNumbers) {
    EXPECT_EQ(ToBool("True"), true);
    EXPECT_EQ(ToBool("false"), false);
    EXPECT_EQ(ToBool(" TRUE "), true);
    EXPECT_EQ(ToBool("1"), true);
    EXPECT_EQ(ToBool("-1"), true);
    EXPECT_EQ(ToBool("0"), false);
    EXPECT_EQ(ToBool("000"), false);
    EXPECT_EQ(ToBool("123456789012345678901234567890"), true);
    EXPECT_EQ(ToBool("yes"), std::nullopt);
    EXPECT_EQ(ToBool(""), std::nullopt);
    EXPECT_EQ(FromBool(true), "True");
    EXPECT_EQ(FromBool(false), "False");
}

TEST_F(SettingsTest, FreshUserGetsEveryDefault) {
    EXPECT_EQ(store.Read(RunList), "");
    EXPECT_EQ(store.Read(SelectedStopList), "");
    EXPECT_EQ(store.Read(RunPrograms), 1);
    EXPECT_EQ(store.Read(StopServices), 0);
    EXPECT_TRUE(store.Read(Order));
    EXPECT_EQ(store.Read(UseHalcyra), 0);
    EXPECT_EQ(store.Read(ShowIcon), 1);
    EXPECT_EQ(store.Read(LogEV), 1);
    EXPECT_EQ(store.Read(SecondsToWaitForService), 20);
    EXPECT_EQ(store.Read(UserCanModifyApps), 1);
    EXPECT_EQ(store.Read(ShutdownType), "Logoff");
    EXPECT_EQ(store.Read(ShowDetails), ">>");
    EXPECT_FALSE(store.Read(RanQuickStart));
    EXPECT_EQ(store.Read(Admin), "");
    EXPECT_EQ(store.Read(AppPath), "");
    EXPECT_FALSE(reg.KeyExists(RootKey::CurrentUser, kSettingsKey));
}

TEST_F(SettingsTest, ValuesThatDoNotConvertYieldTheirDefault) {
    Put("ShowIcon", "70000");
    Put("LogEV", "yes");
    Put("SecondsToWaitForService", "");
    Put("UseHalcyra", "1.5");
    Put("Order", "maybe");
    Put("RanQuickStart", "1");
    EXPECT_EQ(store.Read(ShowIcon), 1);
    EXPECT_EQ(store.Read(LogEV), 1);
    EXPECT_EQ(store.Read(SecondsToWaitForService), 20);
    EXPECT_EQ(store.Read(UseHalcyra), 0);
    EXPECT_TRUE(store.Read(Order));
    EXPECT_TRUE(store.Read(RanQuickStart));
    reg.Plant(RootKey::CurrentUser, kSettingsKey, "StopServices", RegData{platform::kRegDword, std::string("\1\0\0\0", 4)});
    EXPECT_EQ(store.Read(StopServices), 0);
}

TEST_F(SettingsTest, WritesAreTextInTheirForms) {
    store.WriteFlag(ShowIcon.name, 0);
    store.WriteBool(Order.name, false);
    store.Write(SecondsToWaitForService.name, "45");
    EXPECT_EQ(reg.Peek(RootKey::CurrentUser, kSettingsKey, "ShowIcon")->data, "0");
    EXPECT_EQ(reg.Peek(RootKey::CurrentUser, kSettingsKey, "Order")->data, "False");
    EXPECT_EQ(store.Read(ShowIcon), 0);
    EXPECT_FALSE(store.Read(Order));
    EXPECT_EQ(store.Read(SecondsToWaitForService), 45);
}

TEST(CommaList, EveryElementHasItsCommaAndATrailingOneCountsToo) {
    using V = std::vector<std::string>;
    EXPECT_EQ(ParseCommaList("Backup,Scan for Errors,"), (V{"Backup", "Scan for Errors"}));
    // Written by hand or by a tool: the element after the last comma is one.
    EXPECT_EQ(ParseCommaList("A,B"), (V{"A", "B"}));
    EXPECT_EQ(ParseCommaList("A"), V{"A"});
    EXPECT_EQ(ParseCommaList(""), V{});
    EXPECT_EQ(ParseCommaList(",,"), (V{"", ""}));
    EXPECT_EQ(BuildCommaList({"Backup", "Scan for Errors"}), "Backup,Scan for Errors,");
    EXPECT_EQ(BuildCommaList({}), "");
    V round{"x y", "Défragmenter", "z"};
    EXPECT_EQ(ParseCommaList(BuildCommaList(round)), round);
}

TEST_F(SettingsTest, RunListChecksRowsNamedBySelectedList) {
    Put("RunList", "A,B,");
    Put("SelectedList", "1,");
    auto rows = ReadRunList(store, kEnglish);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "A");
    EXPECT_FALSE(rows[0].checked);
    EXPECT_EQ(rows[1].name, "B");
    EXPECT_TRUE(rows[1].checked);
    EXPECT_EQ(rows[1].days, "SMTWHFS");

    Put("RunList", "A");
    rows = ReadRunList(store, kEnglish);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "A");
    EXPECT_FALSE(rows[0].checked);  // row 1 no longer exists
}

struct MergeRow {
    const char* base;
    const char* mine;
    const char* theirs;
    const char* merged;
};

TEST(CommaList, MergeKeepsWhatAnotherWriterAddedAndDropsWhatEitherRemoved) {
    for (const MergeRow& r : {
             MergeRow{"A,B,", "A,B,C,", "A,B,", "A,B,C,"},    // nobody else wrote: mine
             MergeRow{"A,B,", "B,A,", "A,B,", "B,A,"},        // my order
             MergeRow{"A,B,", "A,B,", "A,B,X,", "A,B,X,"},    // added elsewhere stays
             MergeRow{"A,B,", "A,B,C,", "A,X,B,", "A,B,C,X,"},  // both added: mine first
             MergeRow{"A,B,", "A,", "A,B,X,", "A,X,"},        // removed here goes
             MergeRow{"A,B,", "A,B,C,", "B,", "B,C,"},        // removed elsewhere goes
         }) {
        EXPECT_EQ(BuildCommaList(MergeLists(ParseCommaList(r.base), ParseCommaList(r.mine), ParseCommaList(r.theirs))),
                  r.merged)
            << r.base << " " << r.mine << " " << r.theirs;
    }
}

struct SaveRow {
    const char* name;
    const char* readList;  // RunList and SelectedList when this side read them
    const char* readSelected;
    std::vector<RunRow> mine;
    const char* storedList;  // what another writer stored since; null: what was read
    const char* storedSelected;
    const char* list;  // after the save; null: not written
    const char* selected;
};

void PrintTo(const SaveRow& r, std::ostream* os) { *os << r.name; }

class RunRowsSave : public SettingsTest, public ::testing::WithParamInterface<SaveRow> {};

TEST_P(RunRowsSave, WritesOnlyAChangeAndKeepsTheOtherWritersRows) {
    const SaveRow& r = GetParam();
    Put("RunList", r.readList);
    Put("SelectedList", r.readSelected);
    RunListRead read = ReadRunListChecks(store);
    if (r.storedList) Put("RunList", r.storedList);
    if (r.storedSelected) Put("SelectedList", r.storedSelected);
    int writes = 0;
    reg.InjectFaults([&](FakeRegistry::Call call, const std::string&, const std::string&) {
        writes += call == FakeRegistry::Call::Set;
        return 0;
    });
    EXPECT_TRUE(SaveRunRows(store, read, r.mine));
    auto list = reg.Peek(RootKey::CurrentUser, kSettingsKey, "RunList")->data;
    auto selected = reg.Peek(RootKey::CurrentUser, kSettingsKey, "SelectedList")->data;
    EXPECT_EQ(list, r.list ? r.list : r.storedList ? r.storedList : r.readList);
    EXPECT_EQ(selected, r.selected ? r.selected : r.storedSelected ? r.storedSelected : r.readSelected);
    EXPECT_EQ(writes, (r.list ? 1 : 0) + (r.selected ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunRowsSave,
    ::testing::Values(
        SaveRow{"UnchangedWithoutTrailingComma", "A,B", "1", {{"A", {}, false}, {"B", {}, true}}, nullptr, nullptr,
                nullptr, nullptr},
        SaveRow{"ACheckChangedHere", "A,B,", "1,", {{"A", {}, true}, {"B", {}, true}}, nullptr, nullptr, nullptr,
                "0,1,"},
        SaveRow{"AnEntryAddedElsewhereKeepsItsCheck", "A,B,", "1,", {{"A", {}, true}, {"B", {}, true}}, "A,B,C,",
                "1,2,", nullptr, "0,1,2,"},
        SaveRow{"AnEntryRemovedElsewhereStaysRemoved", "A,B,C,", "2,", {{"A", {}, false}, {"B", {}, false}, {"C", {}, true}},
                "A,C,", "1,", nullptr, nullptr},
        SaveRow{"ACheckChangedElsewhereWinsOverOneUnchangedHere", "A,B,", "", {{"A", {}, false}, {"B", {}, true}},
                "A,B,", "0,", nullptr, "0,1,"},
        SaveRow{"PositionsFollowTheNames", "A,B,", "1,", {{"B", {}, true}, {"A", {}, false}}, "X,A,B,", "2,", "B,A,X,",
                "0,"}),
    [](const ::testing::TestParamInfo<SaveRow>& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, BadSelectedEntriesCheckNothing) {
    Put("RunList", "A,B,C,");
    Put("SelectedList", "x,2,3,-1,1.0, 0 ,99999999999,");
    auto rows = ReadRunList(store, kEnglish);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].checked);   // " 0 " is a number with blanks
    EXPECT_FALSE(rows[1].checked);  // "1.0" is not
    EXPECT_TRUE(rows[2].checked);
    EXPECT_EQ(BuildSelectedListText(rows), "0,2,");
    EXPECT_EQ(BuildRunListText(rows), "A,B,C,");
}

TEST_F(SettingsTest, DaysColumnFromDowAndRunOnce) {
    Put("RunList", "Weekend,Work,NoDays,backup,");
    Put("dowWeekend", "17");
    Put("dowWork", "65432");
    Put("roWork", "True");
    Put("dowNoDays", "");
    Put("dowBACKUP", "2");
    auto rows = ReadRunList(store, kEnglish);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].days, "SS");
    EXPECT_EQ(rows[1].days, "MTWHF(1)");
    EXPECT_EQ(rows[2].days, "");
    EXPECT_EQ(rows[3].days, "M");  // value names ignore case
    auto names = ReadRunList(store, kEnglish, true);
    EXPECT_EQ(names[1].days, "");
    const DayInitialsT french{"d", "l", "m", "m", "j", "v", "s"};
    EXPECT_EQ(DaysText("1234567", true, french), "dlmmjvs(1)");
}

TEST(Schedule, WeekdayDigitMustOccurInDow) {
    EXPECT_TRUE(IsDueOnWeekday("17", 1));
    EXPECT_TRUE(IsDueOnWeekday("17", 7));
    EXPECT_FALSE(IsDueOnWeekday("17", 2));
    EXPECT_FALSE(IsDueOnWeekday("", 3));
    EXPECT_FALSE(IsDueOnWeekday("abc", 3));
    EXPECT_TRUE(IsDueOnWeekday("x3y", 3));
}

TEST(Schedule, DayKeysAndTheOncePerDayRule) {
    EXPECT_EQ(DayKey(1999, 2, 5), 351999);
    EXPECT_EQ(DayKey(1999, 1, 1), 1999);
    EXPECT_EQ(DayKey(1999, 12, 31), 3641999);
    EXPECT_EQ(DayKey(2000, 1, 1), 2000);
    EXPECT_EQ(DayKey(2000, 1, 2), 12000);
    EXPECT_EQ(DayKey(2000, 12, 31), 3652000);  // leap year
    EXPECT_EQ(DayKey(1900, 3, 1), 591900);     // not a leap year
    EXPECT_EQ(DayKey(2024, 3, 1), 602024);

    EXPECT_TRUE(IsDueOnce(DayKey(2000, 1, 1), DayKey(1999, 12, 31)));   // year greater
    EXPECT_TRUE(IsDueOnce(DayKey(2000, 1, 2), DayKey(2000, 1, 1)));     // 12000 > 2000
    EXPECT_FALSE(IsDueOnce(DayKey(2000, 1, 2), DayKey(2000, 1, 2)));    // same day
    EXPECT_TRUE(IsDueOnce(DayKey(2000, 4, 10), DayKey(2000, 4, 9)));    // 1002000 > 992000
    EXPECT_FALSE(IsDueOnce(DayKey(2000, 1, 1), DayKey(2000, 1, 2)));    // earlier day, same year
    EXPECT_TRUE(IsDueOnce(DayKey(2026, 1, 1), 0));                      // never ran
    EXPECT_TRUE(IsDueOnce(DayKey(2026, 1, 1), 999));                    // "999" reads as 9990000, year 0
    EXPECT_FALSE(IsDueOnce(DayKey(2026, 1, 1), DayKey(2026, 1, 1)));
}

TEST(Schedule, ADayTheMonthDoesNotHaveCountsAsItsNearest) {
    struct Case { int year, month, day; std::int32_t key; };
    for (Case c : {Case{2025, 1, INT32_MAX, 302025}, Case{2025, 1, INT32_MIN, 2025}, Case{2025, 1, 0, 2025},
                   Case{2024, 2, 30, 592024}, Case{2025, 2, 29, 582025}, Case{2025, 12, 32, 3642025},
                   Case{2024, 13, 99, 3652024}, Case{2025, -7, -1, 2025}})
        EXPECT_EQ(DayKey(c.year, c.month, c.day), c.key) << c.year << "-" << c.month << "-" << c.day;
}

}  // namespace

namespace {

TEST_F(SettingsTest, AReadThatFailedLeavesTheValueUnreadableEvenWhenTheFailurePassed) {
    Put("RunList", "A,B,");
    int failures = 1;
    reg.InjectFaults([&](FakeRegistry::Call call, const std::string&, const std::string& name) {
        return call == FakeRegistry::Call::Query && name == "RunList" && failures-- > 0 ? 1450 : 0;
    });
    EXPECT_EQ(store.Read(RunList), "");  // the default, shown instead
    EXPECT_FALSE(store.Readable("RunList"));
    EXPECT_TRUE(store.Readable("SelectedList"));  // missing is readable
    EXPECT_TRUE(Store(reg, RootKey::CurrentUser).Readable("RunList"));
}

TEST_F(SettingsTest, BatchReadsThroughOneKeyAndSeesCurrentValues) {
    Put("RunPrograms", "0");
    {
        Store::Batch batch(store);
        EXPECT_EQ(reg.OpenHandles(), 1);
        EXPECT_EQ(store.Read(RunPrograms), 0);
        Put("RunPrograms", "1");  // another program writes meanwhile
        EXPECT_EQ(store.Read(RunPrograms), 1);
        {
            Store::Batch inner(store);
            EXPECT_EQ(reg.OpenHandles(), 1);
        }
        EXPECT_EQ(store.Read(ShowIcon), 1);  // the inner batch left the key open
        EXPECT_EQ(reg.OpenHandles(), 1);
    }
    EXPECT_EQ(reg.OpenHandles(), 0);
    // Without a settings key yet, a batch reads the defaults.
    FakeRegistry empty;
    Store fresh(empty, RootKey::CurrentUser);
    Store::Batch batch(fresh);
    EXPECT_EQ(fresh.Read(SecondsToWaitForService), 20);
}

}  // namespace
