#include "cleaners/system/explorer_memory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "support/registry_state.h"

namespace {

const wchar_t kExplorer[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer";

class SetAlwaysUnloadDllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(explorer_);
    const DWORD old_number = 7;
    ASSERT_EQ(RegSetKeyValueW(explorer_.get(), nullptr, L"AlwaysUnloadDll", REG_DWORD, &old_number,
                              sizeof old_number),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(explorer_.get(), nullptr, L"NimbrelNeighbour", REG_SZ, L"n",
                              2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    names_before_ = test::RegistryValueNames(HKEY_LOCAL_MACHINE, kExplorer);
  }
  void TearDown() override {
    RegDeleteValueW(explorer_.get(), L"AlwaysUnloadDll");
    RegDeleteValueW(explorer_.get(), L"NimbrelNeighbour");
  }
  platform::UniqueRegistryKey explorer_ = test::OpenRegistryKey(HKEY_LOCAL_MACHINE, kExplorer);
  std::vector<std::wstring> names_before_;
};

TEST_F(SetAlwaysUnloadDllTest, WritesTheTextOverAnOldNumberAndKeepsOneValue) {
  EXPECT_TRUE(SetAlwaysUnloadDll().ok());
  EXPECT_TRUE(SetAlwaysUnloadDll().ok());

  auto value = test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->text, L"dword:00000001");
  EXPECT_EQ(test::RegistryValueNames(HKEY_LOCAL_MACHINE, kExplorer), names_before_);
  EXPECT_EQ(test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"NimbrelNeighbour")->text,
            L"n");
}

// On 64-bit Windows the 32-bit program writes where the system reads, not in WOW6432Node.
TEST_F(SetAlwaysUnloadDllTest, NothingIsWrittenInTheThirtyTwoBitView) {
  platform::UniqueRegistryKey view32 =
      test::OpenRegistryKey(HKEY_LOCAL_MACHINE, kExplorer, KEY_WOW64_32KEY);
  ASSERT_TRUE(view32);
  RegDeleteValueW(view32.get(), L"AlwaysUnloadDll");

  EXPECT_TRUE(SetAlwaysUnloadDll().ok());

  EXPECT_FALSE(
      test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll", KEY_WOW64_32KEY));
  EXPECT_EQ(test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll")->text,
            L"dword:00000001");
}

TEST_F(SetAlwaysUnloadDllTest, RefusedWriteIsReturnedAndChangesNothing) {
  {
    test::ScopedDenyKeyChanges deny(HKEY_LOCAL_MACHINE, kExplorer);
    ASSERT_TRUE(deny.ok());

    platform::Status status = SetAlwaysUnloadDll();

    EXPECT_TRUE(status.IsWin32(ERROR_ACCESS_DENIED)) << std::hex << status.code();
    auto value = test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
  }
  // The key's own access list is back: later tests and runs may write again.
  EXPECT_TRUE(SetAlwaysUnloadDll().ok());
}

}  // namespace
