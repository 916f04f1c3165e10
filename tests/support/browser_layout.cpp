#include "support/browser_layout.h"

#include <windows.h>

#include "platform/handles.h"

namespace test {
namespace {

const std::string kCookie = std::string("cookie of ") + kCookieHost;
const std::string kVisit = std::string("visit of ") + kVisitedAddress;

// Lower-case, "/" as "\", for comparing relative paths.
std::wstring Plain(std::wstring path) {
  for (wchar_t& c : path) {
    if (c == L'/')
      c = L'\\';
    else if (c >= L'A' && c <= L'Z')
      c = c - L'A' + L'a';
  }
  return path;
}

// The name of a path's last component.
std::wstring LastName(const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void Walk(const std::wstring& folder, const std::wstring& relative,
          std::map<std::wstring, FileState>* files, std::vector<std::wstring>* folders) {
  WIN32_FIND_DATAW data;
  platform::UniqueFindHandle find(FindFirstFileW((folder + relative + L"*").c_str(), &data));
  if (!find)
    return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L".." || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (folders)
        folders->push_back(relative + name + L"\\");
      Walk(folder, relative + name + L"\\", files, folders);
    } else if (files) {
      (*files)[relative + name] = {ReadFileBytes(folder + relative + name), data.dwFileAttributes};
    }
  } while (FindNextFileW(find.get(), &data));
}

void SeedChromiumData(ScratchTree& tree, const std::wstring& p) {
  // Cookies, then and now, with their journals, and the storage of web sites.
  tree.File(p + L"Network\\Cookies", 0, kCookie);
  tree.File(p + L"Network\\Cookies-journal", 0, kCookie);
  tree.File(p + L"Cookies", 0, kCookie);
  tree.File(p + L"Cookies-wal", 0, kCookie);
  tree.File(p + L"IndexedDB\\https_cookie-host.example.org_0.indexeddb.leveldb\\000003.log", 0,
            kCookie);
  tree.File(p + L"IndexedDB\\http_cookie-host.example.org_0.indexeddb.blob\\1\\00\\2", 0, kCookie);
  // History.
  for (const wchar_t* name :
       {L"History", L"History-journal", L"Visited Links", L"Top Sites", L"Top Sites-shm",
        L"Shortcuts", L"Network Action Predictor", L"History Provider Cache", L"Archived History"})
    tree.File(p + name, 0, kVisit);
  // What stays on purpose, though it names the same sites.
  tree.File(p + L"Bookmarks", FILE_ATTRIBUTE_READONLY, "{\"url\": \"https://kept.example/\"}");
  tree.File(p + L"Login Data", 0, std::string("password for ") + kCookieHost);
  tree.File(p + L"Web Data", 0, std::string("form data for ") + kVisitedAddress);
  tree.File(p + L"Preferences", 0, std::string("{\"last\": \"") + kVisitedAddress + "\"}");
  tree.File(p + L"Sessions\\Session_13350000000000000", 0, kVisit);
  tree.File(p + L"Extension Cookies", 0, kCookie);
  tree.File(p + L"Local Storage\\leveldb\\000003.log", 0, kCookie);
  tree.File(p + L"Local Extension Settings\\nngceckbapebfimnlniiiahkandclblb\\000003.log", 0,
            "vault");
  tree.File(p + L"Extensions\\nngceckbapebfimnlniiiahkandclblb\\1.0_0\\manifest.json", 0, "{}");
  tree.File(p + L"IndexedDB\\chrome-extension_nngceckbapebfimnlniiiahkandclblb_0.indexeddb."
                L"leveldb\\000003.log",
            0, "vault");
}

void SeedChromiumCache(ScratchTree& tree, const std::wstring& c) {
  tree.File(c + L"Cache\\Cache_Data\\f_000001", 0, kCachedBody);
  tree.File(c + L"Cache\\Cache_Data\\index", FILE_ATTRIBUTE_HIDDEN, kCachedBody);
  tree.File(c + L"Code Cache\\js\\0f1e2d_0", 0, kCachedBody);
  tree.File(c + L"Code Cache\\js\\index-dir\\the-real-index", 0, kCachedBody);
  tree.File(c + L"GPUCache\\data_1", FILE_ATTRIBUTE_READONLY, kCachedBody);
}

}  // namespace

void SeedChromiumProfile(ScratchTree& tree, const std::wstring& profile) {
  SeedChromiumProfile(tree, profile, profile);
}

void SeedChromiumProfile(ScratchTree& tree, const std::wstring& profile,
                         const std::wstring& cache) {
  SeedChromiumData(tree, profile);
  SeedChromiumCache(tree, cache);
}

void SeedFirefoxProfile(ScratchTree& tree, const std::wstring& p, const std::wstring& cache) {
  // Firefox never deletes its lock: the file alone says nothing of a running browser.
  tree.File(p + L"parent.lock", 0, "");
  tree.File(p + L"cookies.sqlite", 0, kCookie);
  tree.File(p + L"cookies.sqlite-wal", 0, kCookie);
  tree.File(p + L"storage\\default\\https+++cookie-host.example.org\\ls\\data.sqlite", 0, kCookie);
  tree.File(p + L"storage\\default\\https+++cookie-host.example.org\\.metadata-v2", 0, kCookie);
  tree.File(p + L"logins.json", FILE_ATTRIBUTE_READONLY,
            std::string("{\"hostname\": \"") + kCookieHost + "\"}");
  tree.File(p + L"key4.db", 0, "keys");
  tree.File(p + L"prefs.js", 0, "user_pref(\"a\", 1);");
  tree.File(p + L"formhistory.sqlite", 0, kVisit);
  tree.File(p + L"sessionstore.jsonlz4", 0, kVisit);
  tree.File(p + L"extensions\\uBlock0@raymondhill.net.xpi", 0, "xpi");
  tree.File(
      p + L"storage\\default\\moz-extension+++0b6a9c4e-uuid\\idb\\3647222921wleabcEoxlt.sqlite", 0,
      std::string("vault of ") + kCookieHost);
  tree.File(cache + L"cache2\\entries\\3F1A2B", 0, kCachedBody);
  tree.File(cache + L"cache2\\index", 0, kCachedBody);
  tree.File(cache + L"thumbnails\\a1b2.png", 0, kCachedBody);
  tree.Folder(cache + L"cache2\\doomed");
}

bool ErasedBy(const std::string& box, const std::wstring& relative) {
  const std::wstring path = Plain(relative);
  const std::wstring name = LastName(path);
  auto database = [&](std::initializer_list<const wchar_t*> bases) {
    for (const wchar_t* base : bases) {
      const std::wstring plain = Plain(base);
      for (const wchar_t* suffix : {L"", L"-journal", L"-wal", L"-shm"}) {
        if (name == plain + suffix)
          return true;
      }
    }
    return false;
  };
  if (box == "Cookies")
    return database({L"Cookies", L"cookies.sqlite"}) ||
           path.find(L"\\indexeddb\\http") != std::wstring::npos ||
           path.find(L"storage\\default\\http") != std::wstring::npos;
  if (box == "Historique")
    return database({L"History", L"Visited Links", L"Top Sites", L"Shortcuts",
                     L"Network Action Predictor", L"History Provider Cache", L"Archived History"});
  if (box == "Cache")
    return path.find(L"cache\\") != std::wstring::npos ||
           path.find(L"gpucache\\") != std::wstring::npos ||
           path.find(L"cache2\\") != std::wstring::npos ||
           path.find(L"thumbnails\\") != std::wstring::npos;
  return false;
}

bool StaysOnPurpose(const std::wstring& relative) {
  const std::wstring path = Plain(relative);
  const std::wstring name = LastName(path);
  for (const wchar_t* kept : {L"bookmarks", L"login data", L"web data", L"preferences",
                              L"extension cookies", L"places.sqlite", L"favicons.sqlite",
                              L"logins.json", L"formhistory.sqlite", L"sessionstore.jsonlz4"}) {
    if (name == kept)
      return true;
  }
  for (const wchar_t* kept : {L"sessions\\", L"local storage\\", L"moz-extension+++"}) {
    if (path.find(kept) != std::wstring::npos)
      return true;
  }
  return false;
}

std::map<std::wstring, FileState> FilesBelow(const std::wstring& folder) {
  std::map<std::wstring, FileState> files;
  Walk(folder, L"", &files, nullptr);
  return files;
}

std::vector<std::wstring> FoldersBelow(const std::wstring& folder) {
  std::vector<std::wstring> folders;
  Walk(folder, L"", nullptr, &folders);
  return folders;
}

}  // namespace test
