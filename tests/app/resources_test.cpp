// What the program file carries: its icon with nine images, its version record and its
// manifest.

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "platform/fs.h"
#include "res/resource_ids.h"

namespace {

#pragma pack(push, 2)
struct IconDirectoryEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
struct IconDirectory {
  WORD reserved, type, count;
  IconDirectoryEntry entries[1];
};
#pragma pack(pop)

class ProgramFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path = platform::fs::ProgramFolder() + L"\\Velkor.exe";
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { FreeLibrary(module); }
  // The text of the program's manifest; empty when it has none.
  std::string Manifest() const {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (!found)
      return {};
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(text, SizeofResource(module, found));
  }
  std::wstring path;
  HMODULE module = nullptr;
};

TEST_F(ProgramFile, TheApplicationIconHasItsNineImages) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDI_VELKOR), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  auto* directory = static_cast<const IconDirectory*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(directory, nullptr);
  std::multiset<std::pair<int, int>> images;  // (size, bits per pixel)
  for (int i = 0; i < directory->count; ++i) {
    const IconDirectoryEntry& entry = directory->entries[i];
    images.insert({entry.width == 0 ? 256 : entry.width, entry.bit_count});
  }
  const std::multiset<std::pair<int, int>> expected = {
      {48, 8}, {32, 8}, {24, 8}, {16, 8}, {128, 32}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
  EXPECT_EQ(images, expected);
  // The application icon is the first icon group of the file.
  EXPECT_NE(ExtractIconW(GetModuleHandleW(nullptr), path.c_str(), 0), nullptr);
}

std::wstring VersionString(const std::vector<BYTE>& block, const std::wstring& name) {
  void* value = nullptr;
  UINT length = 0;
  std::wstring query = L"\\StringFileInfo\\040C04B0\\" + name;
  if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !length)
    return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

TEST_F(ProgramFile, TheVersionRecordIsFrenchAndNamesVelkor) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.00");
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.00");
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Velkor");
  EXPECT_EQ(VersionString(block, L"InternalName"), L"Velkor");
  EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"Velkor.exe");

  struct Translation {
    WORD language, code_page;
  }* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation->language, 0x040C);
  EXPECT_EQ(translation->code_page, 1200);

  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
}

TEST_F(ProgramFile, TheManifestAsksForCommonControlsSixAndDpiAwareness) {
  const std::string manifest = Manifest();
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
}

TEST_F(ProgramFile, TheManifestNamesWindows7To11ItsProcessorAndNoElevation) {
  const std::string manifest = Manifest();
  for (const char* windows : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // 7
                              "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // 8
                              "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // 8.1
                              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // 10 and 11
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + windows), std::string::npos)
        << windows;
  EXPECT_NE(manifest.find(sizeof(void*) == 8 ? "processorArchitecture=\"amd64\""
                                             : "processorArchitecture=\"x86\""),
            std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
