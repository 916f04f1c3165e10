#include "cleaners/system/typed_urls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "support/registry_state.h"

namespace {

const wchar_t kTypedUrls[] = L"software\\microsoft\\internet explorer\\typedURLs";

class ClearTypedUrlsTest : public ::testing::Test {
 protected:
  ClearTypedUrlsTest() {
    // Start from an existing, empty key; the restorer puts the prefix's own values back.
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
      RegCloseKey(key);
    for (const std::wstring& name : test::RegistryValueNames(HKEY_CURRENT_USER, kTypedUrls))
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kTypedUrls, name.c_str());
    platform::testing::SetValueDeletionCheck([this](const std::wstring& name) {
      attempts_.push_back(name);
      for (const std::wstring& refused : refused_)
        if (refused == L"*" || refused == name)
          return platform::Status::FromWin32(ERROR_ACCESS_DENIED);
      return platform::Status::Ok();
    });
  }
  ~ClearTypedUrlsTest() override { platform::testing::SetValueDeletionCheck(nullptr); }

  void Add(const std::wstring& name) {
    ASSERT_TRUE(test::WriteRegistryText(HKEY_CURRENT_USER, kTypedUrls, name,
                                        L"http://example.org/" + name));
  }
  void AddNumbered(int first, int last) {
    for (int n = first; n <= last; ++n)
      Add(L"url" + std::to_wstring(n));
  }
  // The values left, sorted by name.
  std::vector<std::wstring> Remaining() const {
    auto names = test::RegistryValueNames(HKEY_CURRENT_USER, kTypedUrls);
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::vector<std::wstring> Numbered(int first, int last) {
    std::vector<std::wstring> names;
    for (int n = first; n <= last; ++n)
      names.push_back(L"url" + std::to_wstring(n));
    return names;
  }

  test::RegistryKeyRestorer restorer_{HKEY_CURRENT_USER, kTypedUrls};
  std::vector<std::wstring> attempts_;
  std::vector<std::wstring> refused_;
};

TEST_F(ClearTypedUrlsTest, DeletesInOrderUpToTheFirstMissingNumber) {
  AddNumbered(1, 5);
  Add(L"other");
  Add(L"url");

  ClearTypedUrls();

  EXPECT_EQ(attempts_, Numbered(1, 6));
  EXPECT_EQ(Remaining(), (std::vector<std::wstring>{L"other", L"url"}));
}

TEST_F(ClearTypedUrlsTest, GapEndsTheListAndNoValueMeansOneAttempt) {
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 1));

  attempts_.clear();
  AddNumbered(1, 2);
  Add(L"url4");
  ClearTypedUrls();
  EXPECT_EQ(attempts_, Numbered(1, 3));
  EXPECT_EQ(Remaining(), std::vector<std::wstring>{L"url4"});
}

TEST_F(ClearTypedUrlsTest, NumbersFromTenHaveNoLeadingZero) {
  AddNumbered(1, 12);
  Add(L"url010");
  Add(L"url01");

  ClearTypedUrls();

  EXPECT_EQ(attempts_, Numbered(1, 13));
  EXPECT_EQ(Remaining(), (std::vector<std::wstring>{L"url01", L"url010"}));
}

TEST_F(ClearTypedUrlsTest, ValueThatCannotBeDeletedDoesNotStopTheNumbering) {
  AddNumbered(1, 4);
  refused_ = {L"url2"};

  ClearTypedUrls();

  EXPECT_EQ(attempts_, Numbered(1, 5));
  EXPECT_EQ(Remaining(), std::vector<std::wstring>{L"url2"});
}

TEST_F(ClearTypedUrlsTest, EveryDeletionRefusedEndsAtTheCounterLimit) {
  AddNumbered(1, 2);
  refused_ = {L"*"};

  ClearTypedUrls();

  ASSERT_EQ(attempts_.size(), 32767u);
  EXPECT_EQ(attempts_.back(), L"url32767");
  EXPECT_EQ(Remaining(), Numbered(1, 2));
}

TEST_F(ClearTypedUrlsTest, KeyThatRefusesChangesEndsAtOnce) {
  AddNumbered(1, 3);
  {
    test::ScopedDenyKeyChanges deny(HKEY_CURRENT_USER, kTypedUrls);
    ASSERT_TRUE(deny.ok());

    ClearTypedUrls();

    EXPECT_TRUE(attempts_.empty());
    EXPECT_EQ(Remaining(), Numbered(1, 3));
  }
  ClearTypedUrls();
  EXPECT_TRUE(Remaining().empty());
}

}  // namespace
