#include "cleaners/folders/inventory_cleanup.h"

#include "inventory/inventory_file.h"
#include "platform/events.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/text_files.h"

namespace fs = platform::fs;
namespace files = platform::files;

namespace {

bool IsBlank(const std::wstring& line) {
  return line.find_first_not_of(L' ') == std::wstring::npos;
}

}  // namespace

bool IsPlainFolderName(const std::wstring& line) {
  return platform::IsPlainWin32Name(line);
}

void ForEachInventoryName(const std::function<void(const std::wstring& name)>& act) {
  if (files::OpenForInput(kInventoryFileNumber, WrittenInventoryFilePath())) {
    std::wstring line;
    (void)files::LineInput(kInventoryFileNumber, &line);  // the scanned folder itself
    while (!files::AtEnd(kInventoryFileNumber)) {
      if (!files::LineInput(kInventoryFileNumber, &line))
        break;
      if (!IsBlank(line) && IsPlainFolderName(line))
        act(line);
      platform::KeepPainted();
    }
  }
  files::CloseAll();
}
