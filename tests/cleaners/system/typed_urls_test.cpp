#include "cleaners/system/typed_urls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/tally.h"
#include "support/registry_state.h"

namespace {

const wchar_t kExplorer[] = L"software\\microsoft\\internet explorer";
const wchar_t kTypedUrls[] = L"software\\microsoft\\internet explorer\\TypedURLs";
const wchar_t kTypedUrlTimes[] = L"software\\microsoft\\internet explorer\\TypedURLsTime";

// Names the cleaner deletes: any gaps, any case, leading zeros, one long enough to outgrow a
// first guess at the name's length.
std::vector<std::wstring> Numbered() {
  return {L"url1", L"url3", L"URL27", L"Url01", L"url" + std::wstring(600, L'7')};
}
// Names it leaves (sorted as the registry state helper sorts them), the default value first.
std::vector<std::wstring> Others() {
  std::vector<std::wstring> names{L"",      L"url",   L"urlx",  L"url1x",
                                  L"url-1", L"xurl1", L"other", L"url\uFF11"};
  std::sort(names.begin(), names.end());
  return names;
}

// Both keys made afresh with the values given (addresses as text, times as 8 bytes, as the
// browser writes them), a sentinel "url9" in their parent key, and every deletion attempt seen
// through the registry seam, which can refuse one name.
class ClearTypedUrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kExplorer, L"url9", REG_SZ, L"keep",
                              5 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    platform::testing::SetValueDeletionCheck([this](const std::wstring& name) {
      attempts.push_back(name);
      return name == refused ? platform::Status::FromWin32(ERROR_ACCESS_DENIED)
                             : platform::Status::Ok();
    });
    platform::tally::Reset();
  }
  void TearDown() override {
    platform::testing::SetValueDeletionCheck(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrls);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrlTimes);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kExplorer, L"url9");
  }
  static void Add(const wchar_t* key, const std::vector<std::wstring>& names) {
    const FILETIME typed{0x12345678, 0x01D9ABCD};
    for (const std::wstring& name : names) {
      const LSTATUS written = key == kTypedUrls
                                  ? RegSetKeyValueW(HKEY_CURRENT_USER, key, name.c_str(), REG_SZ,
                                                    L"http://a/", 10 * sizeof(wchar_t))
                                  : RegSetKeyValueW(HKEY_CURRENT_USER, key, name.c_str(),
                                                    REG_BINARY, &typed, sizeof typed);
      ASSERT_EQ(written, ERROR_SUCCESS);
    }
  }
  static void AddToBoth(const std::vector<std::wstring>& names) {
    Add(kTypedUrls, names);
    Add(kTypedUrlTimes, names);
  }
  static std::vector<std::wstring> Remaining(const wchar_t* key) {
    return test::RegistryValueNames(HKEY_CURRENT_USER, key);
  }
  static bool SentinelIntact() {
    return test::ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, L"url9").has_value();
  }

  std::vector<std::wstring> attempts;
  std::wstring refused;
};

TEST_F(ClearTypedUrlsTest, DeletesEveryNumberedAddressAndItsTimeAndNothingElse) {
  AddToBoth(Numbered());
  AddToBoth(Others());

  ClearTypedUrls();
  EXPECT_EQ(Remaining(kTypedUrls), Others());
  EXPECT_EQ(Remaining(kTypedUrlTimes), Others());
  EXPECT_EQ(platform::tally::Current().deleted, 2 * Numbered().size());
  EXPECT_EQ(platform::tally::Current().left(), 0u);
  EXPECT_TRUE(SentinelIntact());

  // Nothing left to delete: no attempt at all.
  attempts.clear();
  ClearTypedUrls();
  EXPECT_TRUE(attempts.empty());
  EXPECT_EQ(Remaining(kTypedUrls), Others());
}

TEST_F(ClearTypedUrlsTest, AValueThatCannotBeDeletedStaysAndTheOthersGo) {
  AddToBoth({L"url1", L"url2", L"url4"});
  refused = L"url2";
  ClearTypedUrls();
  EXPECT_EQ(Remaining(kTypedUrls), std::vector<std::wstring>{L"url2"});
  EXPECT_EQ(Remaining(kTypedUrlTimes), std::vector<std::wstring>{L"url2"});
  EXPECT_EQ(platform::tally::Current().deleted, 4u);
  EXPECT_EQ(platform::tally::Current().refused, 2u);
  EXPECT_TRUE(SentinelIntact());
}

// Each key is cleaned on its own: one that cannot be opened for changes, or is missing, keeps
// the other from nothing.
TEST_F(ClearTypedUrlsTest, AKeyThatCannotBeOpenedOrIsMissingLeavesTheOtherCleaned) {
  AddToBoth({L"url1", L"url2"});
  {
    test::ScopedDenyKeyChanges deny(HKEY_CURRENT_USER, kTypedUrls);
    ASSERT_TRUE(deny.ok());
    ClearTypedUrls();
    EXPECT_EQ(Remaining(kTypedUrls), (std::vector<std::wstring>{L"url1", L"url2"}));
    EXPECT_TRUE(Remaining(kTypedUrlTimes).empty());
  }
  EXPECT_EQ(attempts, (std::vector<std::wstring>{L"url1", L"url2"}));

  attempts.clear();
  Add(kTypedUrlTimes, {L"url5"});
  RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrls);
  ClearTypedUrls();
  EXPECT_EQ(attempts, std::vector<std::wstring>{L"url5"});
  EXPECT_TRUE(Remaining(kTypedUrlTimes).empty());
  EXPECT_TRUE(SentinelIntact());
}

}  // namespace
