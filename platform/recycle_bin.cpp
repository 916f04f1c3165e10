#include "platform/recycle_bin.h"

#include <shellapi.h>
#include <windows.h>

namespace platform {

Status EmptyRecycleBins(unsigned flags) {
  return Status::FromHresult(SHEmptyRecycleBinW(nullptr, nullptr, flags));
}

}  // namespace platform
