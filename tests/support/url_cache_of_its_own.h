#pragma once
// Cases that need a URL cache of their own. The cache's folders are fixed when a process loads
// the Internet services, so the case runs in a child test process whose cache, cookies and
// history folders point at a scratch tree: it finds an empty cache there.

#include <string>

namespace test {

// Runs the one test `test_name` (a disabled one, "Suite.DISABLED_Case") in such a child and
// expects it to pass.
void RunInUrlCacheOfItsOwn(const std::wstring& test_name);

}  // namespace test
