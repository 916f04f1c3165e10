#include "platform/impersonation.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/handles.h"

namespace platform {
namespace {

// A token's information of one class, in a buffer of the size it needs.
Status ReadTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS what,
                            std::vector<unsigned char>* buffer) {
  DWORD size = 0;
  GetTokenInformation(token, what, nullptr, 0, &size);
  if (size == 0)
    return Status::FromLastError();
  buffer->assign(size, 0);
  return GetTokenInformation(token, what, buffer->data(), size, &size) ? Status::Ok()
                                                                       : Status::FromLastError();
}

template <typename T>
const T* As(const std::vector<unsigned char>& buffer) {
  return reinterpret_cast<const T*>(buffer.data());
}

// True when `linked` holds the group `sid` enabled for access (not for denial only).
bool GrantsGroup(const TOKEN_GROUPS& linked, PSID sid) {
  for (DWORD i = 0; i < linked.GroupCount; ++i) {
    if (EqualSid(linked.Groups[i].Sid, sid))
      return !(linked.Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY);
  }
  return false;
}

bool HoldsPrivilege(const TOKEN_PRIVILEGES& linked, const LUID& luid) {
  for (DWORD i = 0; i < linked.PrivilegeCount; ++i) {
    if (linked.Privileges[i].Luid.LowPart == luid.LowPart &&
        linked.Privileges[i].Luid.HighPart == luid.HighPart)
      return true;
  }
  return false;
}

// Without the TCB privilege the system hands the linked token out at the identification level,
// with which no file can be opened. The process's own token is then brought down to the linked
// one's rights: every group the linked token does not grant kept for denial only, every
// privilege it does not hold removed, and its integrity level.
Status TokenWithLinkedRights(HANDLE own, HANDLE linked, UniqueHandle* restricted) {
  std::vector<unsigned char> own_groups, linked_groups, own_privileges, linked_privileges, label;
  NIMBREL_TRY(ReadTokenInformation(own, TokenGroups, &own_groups));
  NIMBREL_TRY(ReadTokenInformation(linked, TokenGroups, &linked_groups));
  NIMBREL_TRY(ReadTokenInformation(own, TokenPrivileges, &own_privileges));
  NIMBREL_TRY(ReadTokenInformation(linked, TokenPrivileges, &linked_privileges));
  NIMBREL_TRY(ReadTokenInformation(linked, TokenIntegrityLevel, &label));
  std::vector<SID_AND_ATTRIBUTES> deny_only;
  const TOKEN_GROUPS& groups = *As<TOKEN_GROUPS>(own_groups);
  for (DWORD i = 0; i < groups.GroupCount; ++i) {
    const DWORD attributes = groups.Groups[i].Attributes;
    if ((attributes & SE_GROUP_INTEGRITY) || (attributes & SE_GROUP_USE_FOR_DENY_ONLY) ||
        GrantsGroup(*As<TOKEN_GROUPS>(linked_groups), groups.Groups[i].Sid))
      continue;
    deny_only.push_back({groups.Groups[i].Sid, 0});
  }
  std::vector<LUID_AND_ATTRIBUTES> removed;
  const TOKEN_PRIVILEGES& privileges = *As<TOKEN_PRIVILEGES>(own_privileges);
  for (DWORD i = 0; i < privileges.PrivilegeCount; ++i) {
    if (!HoldsPrivilege(*As<TOKEN_PRIVILEGES>(linked_privileges), privileges.Privileges[i].Luid))
      removed.push_back({privileges.Privileges[i].Luid, 0});
  }
  HANDLE made = nullptr;
  if (!CreateRestrictedToken(own, 0, static_cast<DWORD>(deny_only.size()), deny_only.data(),
                             static_cast<DWORD>(removed.size()), removed.data(), 0, nullptr, &made))
    return Status::FromLastError();
  restricted->reset(made);
  auto* mandatory = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data());
  if (!SetTokenInformation(
          made, TokenIntegrityLevel, mandatory,
          static_cast<DWORD>(sizeof(TOKEN_MANDATORY_LABEL) + GetLengthSid(mandatory->Label.Sid))))
    return Status::FromLastError();
  return Status::Ok();
}

}  // namespace

UserRightsScope::UserRightsScope() {
  UniqueHandle own;
  if (!OpenProcessToken(GetCurrentProcess(),
                        TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE | TOKEN_ASSIGN_PRIMARY |
                            TOKEN_ADJUST_DEFAULT,
                        own.receive())) {
    status_ = Status::FromLastError();
    return;
  }
  TOKEN_ELEVATION elevation{};
  TOKEN_LINKED_TOKEN linked{};
  DWORD size = 0;
  if (!GetTokenInformation(own.get(), TokenElevation, &elevation, sizeof elevation, &size) ||
      !elevation.TokenIsElevated ||
      !GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size))
    return;  // no linked token: nothing to drop
  UniqueHandle limited(linked.LinkedToken);
  UniqueHandle usable;
  if (!DuplicateTokenEx(limited.get(), TOKEN_IMPERSONATE | TOKEN_QUERY, nullptr,
                        SecurityImpersonation, TokenImpersonation, usable.receive())) {
    status_ = TokenWithLinkedRights(own.get(), limited.get(), &usable);
    if (!status_)
      return;
  }
  if (!ImpersonateLoggedOnUser(usable.get())) {
    status_ = Status::FromLastError();
    return;
  }
  impersonating_ = true;
}

UserRightsScope::~UserRightsScope() {
  if (impersonating_)
    RevertToSelf();
}

}  // namespace platform
