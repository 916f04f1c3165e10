#include "cleaners/system/explorer_memory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "support/registry_state.h"

namespace {

const wchar_t kExplorer[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer";

int CountNamed(const std::wstring& name) {
  auto names = test::RegistryValueNames(HKEY_LOCAL_MACHINE, kExplorer);
  return static_cast<int>(std::count_if(names.begin(), names.end(), [&](const std::wstring& n) {
    return CompareStringOrdinal(n.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
  }));
}

TEST(SetAlwaysUnloadDll, WritesTheTextOverAnOldNumberAndKeepsOneValue) {
  test::RegistryKeyRestorer restorer(HKEY_LOCAL_MACHINE, kExplorer);
  ASSERT_TRUE(test::WriteRegistryNumber(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll", 1));
  ASSERT_TRUE(test::WriteRegistryText(HKEY_LOCAL_MACHINE, kExplorer, L"NimbrelNeighbour", L"n"));
  const size_t values_before = test::RegistryValueNames(HKEY_LOCAL_MACHINE, kExplorer).size();

  EXPECT_TRUE(SetAlwaysUnloadDll().ok());
  EXPECT_TRUE(SetAlwaysUnloadDll().ok());

  auto value = test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->data, test::TextData(L"dword:00000001"));
  EXPECT_EQ(CountNamed(L"AlwaysUnloadDll"), 1);
  EXPECT_EQ(test::RegistryValueNames(HKEY_LOCAL_MACHINE, kExplorer).size(), values_before);
  auto neighbour = test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"NimbrelNeighbour");
  ASSERT_TRUE(neighbour.has_value());
  EXPECT_EQ(neighbour->data, test::TextData(L"n"));
}

TEST(SetAlwaysUnloadDll, RefusedWriteIsReturnedAndChangesNothing) {
  test::RegistryKeyRestorer restorer(HKEY_LOCAL_MACHINE, kExplorer);
  ASSERT_TRUE(test::WriteRegistryNumber(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll", 7));
  {
    test::ScopedDenyKeyChanges deny(HKEY_LOCAL_MACHINE, kExplorer);
    ASSERT_TRUE(deny.ok());

    platform::Status status = SetAlwaysUnloadDll();

    EXPECT_TRUE(status.IsWin32(ERROR_ACCESS_DENIED)) << std::hex << status.code();
    auto value = test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(value->data.data()), 7u);
  }
  // The key's own access list is back: later tests and runs may write again.
  EXPECT_TRUE(SetAlwaysUnloadDll().ok());
}

}  // namespace
