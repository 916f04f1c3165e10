#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/form.h"

namespace {

namespace ui = platform::ui;

bool ShowsScrollBar(const ui::TextBox& box) {
  return (GetWindowLongW(static_cast<HWND>(box.handle()), GWL_STYLE) & WS_VSCROLL) != 0;
}

TEST(TextBox, IsReadOnlyAndShowsItsScrollBarOnlyForALongText) {
  ui::Form form;
  ASSERT_TRUE(form.Create(L"text box", 4000, 3000, {255, 255, 192}, 0).ok());
  ui::TextBox box;
  form.Add(box, L"", {120, 120, 2415, 1575}, {});
  const HWND edit = static_cast<HWND>(box.handle());
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(ShowsScrollBar(box));

  box.SetText(L"Fichiers Temp (Windows) : rien à supprimer\r\nTotal : 0 élément, 0 octet");
  EXPECT_FALSE(ShowsScrollBar(box));
  EXPECT_EQ(box.Caption(),
            L"Fichiers Temp (Windows) : rien à supprimer\r\nTotal : 0 élément, 0 octet");

  std::wstring long_text;
  for (int line = 0; line < 40; ++line)
    long_text += L"Ligne " + std::to_wstring(line) + L"\r\n";
  box.SetText(long_text);
  EXPECT_TRUE(ShowsScrollBar(box));
  box.SetText(L"");
  EXPECT_FALSE(ShowsScrollBar(box));

  // The user may select the text and copy it.
  box.SetText(L"Total : 3 éléments");
  SendMessageW(edit, EM_SETSEL, 0, -1);
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end - start, 18u);
}

}  // namespace
