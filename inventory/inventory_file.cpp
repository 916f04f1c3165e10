#include "inventory/inventory_file.h"

#include "platform/fs.h"

std::wstring InventoryFilePath() {
  std::wstring folder = platform::fs::ProgramFolder();
  if (folder.empty() || folder.back() != L'\\')
    folder += L'\\';
  return folder + L"Reper.txt";
}
