// An elevated run drops to the user's own limited rights for the steps of the user's area.

#include "platform/impersonation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/handles.h"

namespace {

std::vector<unsigned char> Information(HANDLE token, TOKEN_INFORMATION_CLASS what) {
  DWORD size = 0;
  GetTokenInformation(token, what, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !GetTokenInformation(token, what, buffer.data(), size, &size))
    buffer.clear();
  return buffer;
}

DWORD IntegrityLevel(HANDLE token) {
  std::vector<unsigned char> label = Information(token, TokenIntegrityLevel);
  if (label.empty())
    return 0;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
}

// Whether the token grants the rights of the Administrators group.
bool GrantsAdministrators(HANDLE token) {
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
  BOOL member = FALSE;
  return CheckTokenMembership(token, administrators, &member) && member;
}

std::optional<platform::UniqueHandle> LinkedToken() {
  platform::UniqueHandle own;
  TOKEN_LINKED_TOKEN linked{};
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.receive()) ||
      !GetTokenInformation(own.get(), TokenElevation, &elevation, sizeof elevation, &size) ||
      !elevation.TokenIsElevated ||
      !GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size))
    return std::nullopt;
  return platform::UniqueHandle(linked.LinkedToken);
}

TEST(UserRightsScope, TheThreadHoldsTheLinkedTokensRightsWhileTheScopeLives) {
  std::optional<platform::UniqueHandle> linked = LinkedToken();
  if (!linked)
    GTEST_SKIP() << "this process is not elevated with a linked token";
  platform::UniqueHandle process;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, process.receive()));
  {
    platform::UserRightsScope scope;
    ASSERT_TRUE(scope.status());
    EXPECT_TRUE(scope.impersonating());
    platform::UniqueHandle thread;
    ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, thread.receive()));
    EXPECT_EQ(IntegrityLevel(thread.get()), IntegrityLevel(linked->get()));
    EXPECT_EQ(GrantsAdministrators(thread.get()), GrantsAdministrators(linked->get()));
    // A file of the user's own can still be made and deleted with those rights.
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring file = std::wstring(temp) + L"nimbrel-user-rights.tmp";
    platform::UniqueHandle made(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    EXPECT_TRUE(made) << GetLastError();
  }
  platform::UniqueHandle after;
  EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, after.receive()));
}

}  // namespace
