#include "support/cache_layout.h"

#include <windows.h>

namespace test {

CacheLayout SeedCache(ScratchTree& cache, CacheGeneration generation) {
  CacheLayout layout;
  layout.containers = generation == CacheGeneration::kWindows7
                          ? std::vector<std::wstring>{L"Content.IE5", L"Low\\Content.IE5"}
                          : std::vector<std::wstring>{L"IE", L"Low\\IE"};
  const wchar_t* const folders[] = {L"AB12CD34", L"EF56GH78"};
  for (const std::wstring& container : layout.containers) {
    for (const wchar_t* index : {L"index.dat", L"container.dat"}) {
      cache.File(container + L"\\" + index, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
      layout.kept.push_back(container + L"\\" + index);
    }
    cache.File(container + L"\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    layout.kept.push_back(container + L"\\desktop.ini");
    for (const wchar_t* folder : folders) {
      const std::wstring page = container + L"\\" + folder + L"\\page[1].htm";
      cache.File(page);
      layout.cached.push_back(page);
    }
    cache.Folder(container, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  }
  cache.File(L"Content.Outlook\\ABCD1234\\edited attachment.docx");
  cache.Folder(L"Content.Outlook", FILE_ATTRIBUTE_HIDDEN);
  layout.kept.push_back(L"Content.Outlook\\ABCD1234\\edited attachment.docx");
  cache.File(L"loose.dat");
  cache.File(L"site\\page.htm");
  cache.File(L"site\\nested\\deep.htm");
  layout.cached.insert(layout.cached.end(),
                       {L"loose.dat", L"site\\page.htm", L"site\\nested\\deep.htm", L"site"});
  return layout;
}

}  // namespace test
