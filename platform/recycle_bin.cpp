#include "platform/recycle_bin.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

Status EmptyRecycleBins(unsigned flags) {
  return Status::FromHresult(SHEmptyRecycleBinW(nullptr, nullptr, flags));
}

}  // namespace platform
