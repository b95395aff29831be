#include <windows.h>

#include <gtest/gtest.h>

#include "common/basRegistry.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/text.h"
#include "test_util.h"

using platform::RootKey;
using platform::win32::Widen;

namespace {

class Win32RegistryTest : public ::testing::Test {
protected:
    // Writes raw bytes with the system's own call, as another tool would.
    void RawSet(const std::string& name, DWORD type, const void* data, DWORD size) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(scratch.path()).c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(k, Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    // The stored type and byte size of a value, read with the system's call.
    bool RawInfo(const std::string& path, const std::string& name, DWORD& type, DWORD& size) {
        HKEY k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        LONG rc = RegQueryValueExW(k, Widen(name).c_str(), nullptr, &type, nullptr, &size);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS;
    }
    std::string Read(const std::string& name, bool strip = true) {
        return basRegistry::ReadValue(reg, RootKey::CurrentUser, scratch.path(), name, "<default>", strip);
    }

    testutil::ScratchKey scratch;
    platform::win32::Win32Registry reg;
};

TEST_F(Win32RegistryTest, TerminatingNulIsStrippedOnRead) {
    RawSet("WithNul", REG_SZ, L"abc", 4 * sizeof(wchar_t));
    RawSet("Without", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    EXPECT_EQ(Read("WithNul"), "abc");
    EXPECT_EQ(Read("Without"), "abc");
}

TEST_F(Win32RegistryTest, DwordAndExpandStringReadAsTheDefault) {
    DWORD five = 5;
    RawSet("Number", REG_DWORD, &five, sizeof(five));
    RawSet("Expand", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));
    EXPECT_EQ(Read("Number"), "<default>");
    EXPECT_EQ(Read("Expand"), "<default>");
    EXPECT_EQ(Read("Missing"), "<default>");
}

TEST_F(Win32RegistryTest, MultiStringUnstrippedKeepsItsSeparators) {
    const wchar_t deps[] = L"RpcSs\0LanmanWorkstation\0";  // and the array's own final NUL
    RawSet("DependOnService", REG_MULTI_SZ, deps, sizeof(deps));
    EXPECT_EQ(Read("DependOnService", false), std::string("RpcSs\0LanmanWorkstation\0\0", 25));
    EXPECT_EQ(Read("DependOnService", true), "RpcSs");
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::CurrentUser, scratch.path(), "DependOnService", "d",
                                     false, basRegistry::Flavor::Daemon),
              "d");
}

TEST_F(Win32RegistryTest, SaveCreatesTheWholePathAsPlainString) {
    std::string deep = scratch.path() + "\\One\\Two\\Three";
    basRegistry::SaveString(reg, RootKey::CurrentUser, deep, "Value", "hello");
    DWORD type = 0, size = 0;
    ASSERT_TRUE(RawInfo(deep, "Value", type, size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // The text's own bytes: the system counts no terminator of its own.
    EXPECT_EQ(size, 5 * sizeof(wchar_t));
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::CurrentUser, deep, "Value", "d"), "hello");
}

TEST_F(Win32RegistryTest, EmptyValueIsStoredAsZeroBytesAndReadsEmpty) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, scratch.path(), "Empty", "");
    DWORD type = 0, size = 99;
    ASSERT_TRUE(RawInfo(scratch.path(), "Empty", type, size));
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(Read("Empty"), "");
}

TEST_F(Win32RegistryTest, NonAsciiTextRoundTripsAndNamesIgnoreCase) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, scratch.path(), "Défragmenter", "C:\\Programme\\Übung 日本.exe");
    EXPECT_EQ(Read("DÉFRAGMENTER"), "C:\\Programme\\Übung 日本.exe");
    basRegistry::SaveString(reg, RootKey::CurrentUser, scratch.path(), "backup", "x");
    EXPECT_EQ(Read("BACKUP"), "x");
}

TEST_F(Win32RegistryTest, DeleteValueAndMissingKeys) {
    basRegistry::SaveString(reg, RootKey::CurrentUser, scratch.path(), "Gone", "x");
    {
        auto key = reg.CreateKey(RootKey::CurrentUser, scratch.path());
        ASSERT_TRUE(key);
        EXPECT_FALSE(reg.DeleteValue(key, "Gone"));
        EXPECT_TRUE(platform::IsMissing(reg.DeleteValue(key, "Gone")));
    }
    EXPECT_EQ(Read("Gone"), "<default>");
    auto nowhere = reg.OpenKey(RootKey::CurrentUser, scratch.path() + "\\Nowhere");
    EXPECT_FALSE(nowhere);
    EXPECT_TRUE(platform::IsMissing(nowhere.status()));
    EXPECT_FALSE(reg.OpenKey(RootKey::None, "Software"));
}

// Each answer is checked twice: a change is reported once, then the watch is
// quiet until the next one.
TEST_F(Win32RegistryTest, WatchReportsEachChangeOfTheKeyOnce) {
    const std::string path = scratch.path() + "\\Watched";
    auto watch = reg.Watch(RootKey::CurrentUser, path);
    ASSERT_TRUE(watch);
    EXPECT_TRUE(watch->Changed());  // nothing read yet
    EXPECT_FALSE(watch->Changed());  // missing, and watched for its coming
    basRegistry::SaveString(reg, RootKey::CurrentUser, path, "A", "1");
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());
    EXPECT_FALSE(watch->Changed());

    // Another program's write, through its own handle.
    HKEY raw;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_WRITE, &raw), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(raw, L"B", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());
    ASSERT_EQ(RegDeleteValueW(raw, L"B"), ERROR_SUCCESS);
    RegCloseKey(raw);
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());

    // Below the key counts; a value of a key beside it does not.
    basRegistry::SaveString(reg, RootKey::CurrentUser, path + "\\Below", "C", "2");
    EXPECT_TRUE(watch->Changed());
    basRegistry::SaveString(reg, RootKey::CurrentUser, scratch.path() + "\\Beside", "D", "3");
    watch->Changed();  // the new key beside it may count
    basRegistry::SaveString(reg, RootKey::CurrentUser, scratch.path() + "\\Beside", "D", "4");
    EXPECT_FALSE(watch->Changed());

    // Deleted: reported, then watched for its coming back, also from deeper
    // down; back again, it is watched again.
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, Widen(path).c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());
    auto deep = reg.Watch(RootKey::CurrentUser, path + "\\Deeper");
    EXPECT_TRUE(deep->Changed());
    EXPECT_FALSE(deep->Changed());
    basRegistry::SaveString(reg, RootKey::CurrentUser, path + "\\Deeper", "E", "6");
    EXPECT_TRUE(deep->Changed());
    EXPECT_FALSE(deep->Changed());
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, Widen(path).c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());
    basRegistry::SaveString(reg, RootKey::CurrentUser, path, "A", "5");
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());
    EXPECT_EQ(basRegistry::ReadValue(reg, RootKey::CurrentUser, path, "A", "", true), "5");
}

TEST_F(Win32RegistryTest, WatchWithoutARootNeverPromises) {
    auto watch = reg.Watch(RootKey::None, "Software");
    EXPECT_TRUE(watch->Changed());
    EXPECT_TRUE(watch->Changed());
}

}  // namespace
