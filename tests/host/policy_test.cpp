#include <gtest/gtest.h>

#include "common/basSettings.h"
#include "platform/fake/fake_registry.h"

using namespace basSettings;
using platform::RegData;
using platform::RootKey;
using platform::fake::FakeRegistry;

namespace {

const DayInitialsT kEnglish{"S", "M", "T", "W", "H", "F", "S"};

class PolicyTest : public ::testing::Test {
protected:
    void Machine(const std::string& name, const std::string& text) {
        reg.PlantString(RootKey::LocalMachine, kPolicyKey, name, text);
    }
    void UserPolicy(const std::string& name, const std::string& text) {
        reg.PlantString(RootKey::CurrentUser, kPolicyKey, name, text);
    }
    void Own(const std::string& name, const std::string& text) {
        reg.PlantString(RootKey::CurrentUser, kSettingsKey, name, text);
    }
    std::optional<std::string> OwnStored(const std::string& name) const {
        auto v = reg.Peek(RootKey::CurrentUser, kSettingsKey, name);
        return v ? std::optional<std::string>(v->data) : std::nullopt;
    }
    FakeRegistry reg;
    Store store{reg, RootKey::CurrentUser};
};

// Machine policy, user policy, own value and default, for each stored form.
TEST_F(PolicyTest, EachKindOfValueTakesTheFirstSourceThatHoldsIt) {
    struct Layer {
        const char* machine;
        const char* user;
        const char* own;
        Source source;
    };
    const Layer layers[] = {{"M", "U", "O", Source::MachinePolicy},
                            {nullptr, "U", "O", Source::UserPolicy},
                            {nullptr, nullptr, "O", Source::Own},
                            {nullptr, nullptr, nullptr, Source::Default}};
    struct Kind {
        const char* name;
        const char* machine;
        const char* user;
        const char* own;
    };
    // Values by form: a flag, a Boolean, a number and a list.
    const Kind kinds[] = {{ShowIcon.name, "0", "1", "0"},
                          {Order.name, "False", "True", "False"},
                          {SecondsToWaitForService.name, "5", "60", "90"},
                          {SelectedStopList.name, "Spooler,", "Schedule,", "W32Time,"},
                          {RunAtAnyShutdown.name, "1", "0", "1"}};
    for (const Kind& k : kinds) {
        for (const Layer& l : layers) {
            FakeRegistry fresh;
            auto plant = [&](RootKey root, const char* path, const char* v, const char* text) {
                if (v) fresh.PlantString(root, path, k.name, text);
            };
            plant(RootKey::LocalMachine, kPolicyKey, l.machine, k.machine);
            plant(RootKey::CurrentUser, kPolicyKey, l.user, k.user);
            plant(RootKey::CurrentUser, kSettingsKey, l.own, k.own);
            Store s(fresh, RootKey::CurrentUser);
            const char* expected = l.machine ? k.machine : l.user ? k.user : l.own ? k.own : "default";
            SCOPED_TRACE(std::string(k.name) + " expects " + expected);
            EXPECT_EQ(s.SourceOf(k.name), l.source);
            EXPECT_EQ(s.Text(k.name, "default"), expected);
            EXPECT_EQ(s.Locked(k.name), IsPolicy(l.source));
        }
    }
    // Typed reads see the winning text through their conversions.
    Machine(SecondsToWaitForService.name, "7");
    Own(SecondsToWaitForService.name, "90");
    UserPolicy(Order.name, "False");
    Machine(LogEV.name, "0");
    EXPECT_EQ(store.Read(SecondsToWaitForService), 7);
    EXPECT_FALSE(store.Read(Order));
    EXPECT_EQ(store.Read(LogEV), 0);
}

TEST_F(PolicyTest, AnEmptyPolicyValueStillWinsAndOnlyItsOwnNamesArePolicyValues) {
    Machine(StopList.name, "");
    Own(StopList.name, "Spooler,");
    EXPECT_EQ(store.Read(StopList), "");
    EXPECT_TRUE(store.Locked(StopList.name));
    // The user's and the daemon's own state is never taken from a policy key.
    for (const char* own : {ShutdownType.name, ShowDetails.name, Admin.name, AppPath.name, RanQuickStart.name}) {
        Machine(own, "policy");
        Own(own, "mine");
        EXPECT_EQ(store.Text(own, ""), "mine") << own;
        EXPECT_FALSE(store.Locked(own)) << own;
    }
    // Every value a reader may take from a policy.
    for (const char* name : {"RunList", "SelectedList", "StopList", "SelectedStopList", "RunPrograms", "StopServices",
                             "Order", "SecondsToWaitForService", "UseHalcyra", "ShowIcon", "LogEV",
                             "UserCanModifyApps", "RunAtAnyShutdown", "AllowOwnPrograms", "LockSettings"})
        EXPECT_TRUE(IsPolicyValueName(name)) << name;
    EXPECT_EQ(PolicyValueNames().size(), 15u);
}

TEST_F(PolicyTest, NothingIsWrittenOverAPolicyNorIntoAPolicyKey) {
    Machine(ShowIcon.name, "0");
    Own(ShowIcon.name, "1");
    EXPECT_FALSE(store.Save(ShowIcon.name, "0"));  // not the user's to store: no failure, nothing written
    store.Write(ShowIcon.name, "0");
    EXPECT_EQ(OwnStored(ShowIcon.name), "1");
    EXPECT_EQ(reg.Peek(RootKey::LocalMachine, kPolicyKey, ShowIcon.name)->data, "0");
    // An own value is stored as before.
    EXPECT_FALSE(store.Save(LogEV.name, "0"));
    EXPECT_EQ(OwnStored(LogEV.name), "0");
    // Windows refuses a standard user the policy keys; so does the fake.
    EXPECT_FALSE(reg.CreateKey(RootKey::CurrentUser, kPolicyKey));
    EXPECT_FALSE(reg.CreateKey(RootKey::LocalMachine, "SOFTWARE\\Policies\\Other"));
    EXPECT_TRUE(reg.CreateKey(RootKey::CurrentUser, "Software\\PoliciesOfMine"));
}

TEST_F(PolicyTest, APolicyKeyThatCannotBeReadLeavesItsValuesUnwrittenAndUnreadable) {
    Machine(ShowIcon.name, "0");
    Own(ShowIcon.name, "0");
    reg.InjectFaults([](FakeRegistry::Call call, const std::string& path, const std::string&) {
        return call == FakeRegistry::Call::Open && path == "software\\policies\\halcyra\\settings" ? 5 : 0;
    });
    EXPECT_EQ(store.Read(ShowIcon), 1);  // the default, not the user's own value
    EXPECT_FALSE(store.Readable(ShowIcon.name));
    store.Write(ShowIcon.name, "1");
    EXPECT_EQ(OwnStored(ShowIcon.name), "0");
    // The user's own state is not held up by it.
    EXPECT_EQ(store.Read(ShutdownType), "Logoff");
    EXPECT_TRUE(store.Readable(ShutdownType.name));
}

// A policy list brings its entries' values from its own key, and its checks.
TEST_F(PolicyTest, APolicyRunListTakesItsEntriesAndChecksFromItsKey) {
    UserPolicy(RunList.name, "Backup,Scan,");
    UserPolicy(SelectedList.name, "1,");
    UserPolicy("Backup", "backup.exe");
    UserPolicy("dowBackup", "17");
    Own(RunList.name, "Mine,");
    Own(SelectedList.name, "0,");
    Own("Backup", "own-backup.exe");
    Own("dowScan", "2");  // the policy's entry has no "dow": all days, not the user's
    Own("Mine", "mine.exe");
    auto rows = ReadRunList(store, kEnglish);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Backup");
    EXPECT_EQ(rows[0].days, "SS");
    EXPECT_FALSE(rows[0].checked);
    EXPECT_TRUE(rows[0].policy);
    EXPECT_EQ(rows[1].days, "SMTWHFS");
    EXPECT_TRUE(rows[1].checked);
    EXPECT_EQ(store.Text("Backup", ""), "backup.exe");
    EXPECT_EQ(store.SourceOf("dowScan"), Source::UserPolicy);
    EXPECT_EQ(store.Text("Mine", ""), "mine.exe");  // not an entry of the policy's list
    // The stamps of the once-per-day rule are the daemon's own.
    store.Write(LastRunName("Backup"), "351999");
    EXPECT_EQ(OwnStored(LastRunName("Backup")), "351999");
}

TEST_F(PolicyTest, OwnEntriesFollowAPolicyListOnlyWhenThePolicyAllowsThem) {
    Machine(RunList.name, "Backup,");
    Machine(SelectedList.name, "0,");
    Machine("Backup", "backup.exe");
    Own(RunList.name, "Mine,Backup,");
    Own(SelectedList.name, "0,1,");
    Own("Mine", "mine.exe");
    Own("dowMine", "2");
    Own(AllowOwnPrograms.name, "1");  // the user's own word does not allow it
    ASSERT_EQ(ReadRunList(store, kEnglish).size(), 1u);

    Machine(AllowOwnPrograms.name, "1");
    auto rows = ReadRunList(store, kEnglish);
    ASSERT_EQ(rows.size(), 2u);  // the own "Backup" yields to the policy's
    EXPECT_EQ(rows[1].name, "Mine");
    EXPECT_EQ(rows[1].days, "M");
    EXPECT_TRUE(rows[1].checked);
    EXPECT_FALSE(rows[1].policy);

    // Storing the run list stores only the user's own rows, in their key.
    RunListRead base = ReadRunListChecks(store);
    ASSERT_TRUE(base.rows);
    ASSERT_EQ(base.rows->size(), 2u);
    std::vector<RunRow> mine = {{"Backup", {}, false}, {"Mine", {}, false}, {"New", {}, true}};
    EXPECT_TRUE(SaveRunRows(store, base, mine));
    // The own "Backup" the policy's hides stays, with its check.
    EXPECT_EQ(OwnStored(RunList.name), "Mine,New,Backup,");
    EXPECT_EQ(OwnStored(SelectedList.name), "1,2,");
    EXPECT_EQ(reg.Peek(RootKey::LocalMachine, kPolicyKey, RunList.name)->data, "Backup,");

    // Without the allowance nothing of the list is the user's to store.
    reg.PlantString(RootKey::LocalMachine, kPolicyKey, AllowOwnPrograms.name, "0");
    base = ReadRunListChecks(store);
    EXPECT_TRUE(SaveRunRows(store, base, {{"Backup", {}, true}, {"Other", {}, true}}));
    EXPECT_EQ(OwnStored(RunList.name), "Mine,New,Backup,");
}

}  // namespace
