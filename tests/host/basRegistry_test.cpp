#include <gtest/gtest.h>

#include "common/basRegistry.h"
#include "platform/fake/fake_registry.h"

using basRegistry::Flavor;
using platform::RegData;
using platform::RootKey;
using platform::fake::FakeRegistry;

namespace {

const char* kPath = "Software\\Halcyra\\Settings";

class RegistryTest : public ::testing::Test {
protected:
    FakeRegistry reg;
    std::string Read(const std::string& name, const std::string& def = "<default>",
                     bool strip = true, Flavor f = Flavor::Applet) {
        return basRegistry::ReadValue(reg, RootKey::CurrentUser, kPath, name, def, strip, f);
    }
};

TEST_F(RegistryTest, StringsReadBackWithOrWithoutTerminator) {
    reg.PlantString(RootKey::CurrentUser, kPath, "WithNul", std::string("abc\0", 4));
    reg.PlantString(RootKey::CurrentUser, kPath, "Plain", "abc");
    EXPECT_EQ(Read("WithNul"), "abc");
    EXPECT_EQ(Read("Plain"), "abc");
    EXPECT_EQ(basRegistry::StripTerminator(std::string("a\0b\0", 4)), "a");
    EXPECT_EQ(basRegistry::StripTerminator(""), "");
}

TEST_F(RegistryTest, MissingOrOtherTypesYieldTheDefault) {
    reg.Plant(RootKey::CurrentUser, kPath, "Dword", RegData{platform::kRegDword, std::string("\x05\0\0\0", 4)});
    reg.Plant(RootKey::CurrentUser, kPath, "Expand", RegData{platform::kRegExpandSz, "%TEMP%"});
    EXPECT_EQ(Read("Dword"), "<default>");
    EXPECT_EQ(Read("Expand"), "<default>");
    EXPECT_EQ(Read("Absent"), "<default>");
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::CurrentUser, "Software\\Nowhere", "x", "d"), "d");
    EXPECT_FALSE(basRegistry::ReadOptional(reg, RootKey::CurrentUser, kPath, "Absent").has_value());
    EXPECT_EQ(reg.OpenHandles(), 0);
}

TEST_F(RegistryTest, EmptyValueIsEmptyNotTheDefault) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, kPath, "Empty", "");
    EXPECT_EQ(Read("Empty"), "");
    auto raw = reg.Peek(RootKey::CurrentUser, kPath, "Empty");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, platform::kRegSz);
}

TEST_F(RegistryTest, MultiStringUnstrippedKeepsSeparatorsAndDaemonReadsNone) {
    std::string deps("RpcSs\0LanmanWorkstation\0\0", 25);
    const char* svc = "System\\CurrentControlSet\\Services\\Browser";
    reg.Plant(RootKey::LocalMachine, svc, "DependOnService", RegData{platform::kRegMultiSz, deps});
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::LocalMachine, svc, "DependOnService", "0", false), deps);
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::LocalMachine, svc, "DependOnService", "0", true), "RpcSs");
    // The daemon's reader takes REG_SZ only, and always strips.
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::LocalMachine, svc, "DependOnService", "0", false,
                                     Flavor::Daemon),
              "0");
    reg.PlantString(RootKey::CurrentUser, kPath, "Nul", std::string("x\0y", 3));
    EXPECT_EQ(Read("Nul", "d", false, Flavor::Daemon), "x");
}

TEST_F(RegistryTest, SaveCreatesPathAndWritesNoTerminator) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, "Software\\A\\B\\C", "v", "text");
    EXPECT_TRUE(reg.KeyExists(RootKey::CurrentUser, "Software\\A"));
    EXPECT_TRUE(reg.KeyExists(RootKey::CurrentUser, "Software\\A\\B"));
    auto raw = reg.Peek(RootKey::CurrentUser, "Software\\A\\B\\C", "v");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->data, "text");
    EXPECT_EQ(reg.OpenHandles(), 0);
}

TEST_F(RegistryTest, FailedWriteIsSilentAndKeepsOldValue) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, kPath, "v", "old");
    reg.FailWrites(true);
    basRegistry::SaveString(reg, RootKey::CurrentUser, kPath, "v", "new");
    reg.FailWrites(false);
    EXPECT_EQ(Read("v"), "old");
}

TEST_F(RegistryTest, NamesMatchWithoutRegardToCase) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, kPath, "Backup", "one");
    basRegistry::SaveString(reg, RootKey::CurrentUser, "SOFTWARE\\halcyra\\SETTINGS", "BACKUP", "two");
    EXPECT_EQ(Read("backup"), "two");
}

TEST_F(RegistryTest, UnsetRootReadsDefaultsAndWritesNothing) {
    basRegistry::SaveString(reg, RootKey::None, kPath, "v", "x");
    EXPECT_FALSE(reg.KeyExists(RootKey::CurrentUser, kPath));
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::None, kPath, "v", "d"), "d");
}

}  // namespace
