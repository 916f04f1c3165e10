#include "support/link_swap.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/deletion.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "support/scratch.h"

namespace test {
namespace {

struct Identity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const Identity&) const = default;
};

bool IdentityOfHandle(HANDLE handle, Identity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info))
    return false;
  *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

Identity& SeenAsLink() {
  static Identity identity;
  return identity;
}

bool IsSeenAsLink(void* handle) {
  Identity identity;
  return IdentityOfHandle(handle, &identity) && identity == SeenAsLink();
}

std::wstring WithoutSlash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\')
    path.pop_back();
  return path;
}

}  // namespace

SwapForLinkBeforeOpen::SwapForLinkBeforeOpen(const std::wstring& victim,
                                             const std::wstring& target) {
  platform::fs::testing::SetBeforeChangeHook([this, victim, target](const std::wstring& path) {
    if (swapped_ || path != victim)
      return;
    swapped_ = true;
    const std::wstring itself = WithoutSlash(victim);
    if (victim.back() == L'\\')
      RemoveTree(itself);
    else
      DeleteFileW(itself.c_str());
    EXPECT_TRUE(MakeUnixLink(WithoutSlash(target), itself)) << itself;
  });
}

SwapForLinkBeforeOpen::~SwapForLinkBeforeOpen() {
  platform::fs::testing::SetBeforeChangeHook(nullptr);
}

HandleSeenAsLink::HandleSeenAsLink(const std::wstring& path) {
  platform::UniqueHandle handle(CreateFileW(WithoutSlash(path).c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
  EXPECT_TRUE(handle && IdentityOfHandle(handle.get(), &SeenAsLink())) << path;
  platform::deletion::testing::SetHandleLinkCheck(IsSeenAsLink);
}

HandleSeenAsLink::~HandleSeenAsLink() {
  platform::deletion::testing::SetHandleLinkCheck(nullptr);
  SeenAsLink() = {};
}

}  // namespace test
