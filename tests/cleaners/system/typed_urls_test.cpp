#include "cleaners/system/typed_urls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/registry.h"
#include "support/registry_state.h"

namespace {

const wchar_t kTypedUrls[] = L"software\\microsoft\\internet explorer\\typedURLs";

std::vector<std::wstring> Numbered(int first, int last) {
  std::vector<std::wstring> names;
  for (int n = first; n <= last; ++n)
    names.push_back(L"url" + std::to_wstring(n));
  return names;
}

// Each test starts from an existing, empty key (the test prefix has none of its own) and watches
// the deletions through the registry seam, which can also refuse some of them.
class ClearTypedUrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrls);
    platform::UniqueRegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.receive(), nullptr),
              ERROR_SUCCESS);
    platform::testing::SetValueDeletionCheck([this](const std::wstring& name) {
      attempts_.push_back(name);
      if (refuse_all_ || name == refused_)
        return platform::Status::FromWin32(ERROR_ACCESS_DENIED);
      return platform::Status::Ok();
    });
  }
  void TearDown() override {
    platform::testing::SetValueDeletionCheck(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrls);
  }
  void Add(const std::vector<std::wstring>& names) {
    for (const std::wstring& name : names)
      ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kTypedUrls, name.c_str(), REG_SZ, L"http://a/",
                                10 * sizeof(wchar_t)),
                ERROR_SUCCESS);
  }
  std::vector<std::wstring> Remaining() const {
    return test::RegistryValueNames(HKEY_CURRENT_USER, kTypedUrls);
  }

  std::vector<std::wstring> attempts_;
  std::wstring refused_;
  bool refuse_all_ = false;
};

TEST_F(ClearTypedUrlsTest, DeletesInOrderUpToTheFirstMissingNumber) {
  Add(Numbered(1, 5));
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 6));
  EXPECT_TRUE(Remaining().empty());

  // From ten on, digits only; other names are left alone.
  attempts_.clear();
  Add(Numbered(1, 12));
  Add({L"url010", L"url01", L"url", L"other"});
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 13));
  EXPECT_EQ(Remaining(), (std::vector<std::wstring>{L"other", L"url", L"url01", L"url010"}));
}

TEST_F(ClearTypedUrlsTest, GapEndsTheListAndNoValueMeansOneAttempt) {
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 1));

  attempts_.clear();
  Add({L"url1", L"url2", L"url4"});
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 3));
  EXPECT_EQ(Remaining(), std::vector<std::wstring>{L"url4"});
}

TEST_F(ClearTypedUrlsTest, ValueThatCannotBeDeletedDoesNotStopTheNumbering) {
  Add(Numbered(1, 4));
  refused_ = L"url2";
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 5));
  EXPECT_EQ(Remaining(), std::vector<std::wstring>{L"url2"});
}

TEST_F(ClearTypedUrlsTest, EveryDeletionRefusedEndsAtTheCounterLimit) {
  Add(Numbered(1, 2));
  refuse_all_ = true;
  ClearTypedUrls();
  ASSERT_EQ(attempts_.size(), 32767u);
  EXPECT_EQ(attempts_.back(), L"url32767");
  EXPECT_EQ(Remaining(), Numbered(1, 2));
}

TEST_F(ClearTypedUrlsTest, KeyThatCannotBeOpenedEndsAtOnce) {
  Add(Numbered(1, 3));
  {
    test::ScopedDenyKeyChanges deny(HKEY_CURRENT_USER, kTypedUrls);
    ASSERT_TRUE(deny.ok());
    ClearTypedUrls();
    EXPECT_TRUE(attempts_.empty());
    EXPECT_EQ(Remaining(), Numbered(1, 3));
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrls);
  ClearTypedUrls();
  EXPECT_TRUE(attempts_.empty());
}

}  // namespace
