#pragma once
// The temporary Internet files folder laid out as each Windows generation lays it out, in a
// scratch tree: hidden, system containers holding their index and 8-character cache folders,
// protected mode's own set below "Low", the mail program's hidden "Content.Outlook", and loose
// files and a site folder of the cache folder itself.

#include <string>
#include <vector>

#include "support/scratch.h"

namespace test {

enum class CacheGeneration {
  kWindows7,   // Temporary Internet Files\Content.IE5, Low\Content.IE5
  kWindows10,  // INetCache\IE, Low\IE (8.1 to 11)
};

struct CacheLayout {
  std::vector<std::wstring> containers;  // relative to the cache folder
  std::vector<std::wstring> cached;      // files that must go, relative to the cache folder
  std::vector<std::wstring> kept;        // files that must stay
};

CacheLayout SeedCache(ScratchTree& cache, CacheGeneration generation);

}  // namespace test
