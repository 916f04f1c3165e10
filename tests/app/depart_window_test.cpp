// The main window as the user sees it: start-up state, layout, colours and the group toggles.

#include <windows.h>

#include <gtest/gtest.h>

#include "app/depart.h"
#include "platform/text.h"

namespace {

using platform::ui::CheckBox;
using platform::ui::kChecked;
using platform::ui::kGrey;
using platform::ui::kUnchecked;

class DepartWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window.Create().ok()); }

  std::vector<CheckBox*> AllBoxes() {
    Depart& w = window;
    return {&w.Check1,  &w.Check2,  &w.Check3,  &w.Check4,  &w.Check5,  &w.Check6,
            &w.Check7,  &w.Check8,  &w.Check9,  &w.Check10, &w.Check11, &w.Check13,
            &w.Check16, &w.Check17, &w.Check18, &w.Check19, &w.Check20, &w.Check21};
  }
  static std::vector<int> Values(std::initializer_list<CheckBox*> boxes) {
    std::vector<int> values;
    for (CheckBox* box : boxes)
      values.push_back(box->Value());
    return values;
  }

  Depart window;
};

TEST_F(DepartWindow, StartsShownCentredWithEveryBoxClearAndTheButtonEnabled) {
  EXPECT_TRUE(window.form.Visible());
  for (CheckBox* box : AllBoxes())
    EXPECT_EQ(box->Value(), kUnchecked) << platform::ToUtf8(box->Caption());
  EXPECT_TRUE(window.Command1.Enabled());
  EXPECT_EQ(window.Command1.Caption(), L"Executer !");

  RECT frame;
  GetWindowRect(window.form.handle(), &frame);
  const int centre_x = (frame.left + frame.right) / 2;
  const int centre_y = (frame.top + frame.bottom) / 2;
  EXPECT_NEAR(centre_x, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centre_y, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  wchar_t title[64];
  GetWindowTextW(window.form.handle(), title, 64);
  EXPECT_STREQ(title, L"Nimbrel");
}

TEST_F(DepartWindow, ControlsSitAtTheirPlacesConvertedFromTwips) {
  const int dpi = window.form.dpi();
  auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  RECT client;
  GetClientRect(window.form.handle(), &client);
  EXPECT_EQ(client.right, pixels(9495));
  EXPECT_EQ(client.bottom, pixels(5295));

  auto place = [&](const platform::ui::Control& control) {
    RECT rect;
    GetWindowRect(control.handle(), &rect);
    MapWindowPoints(nullptr, window.form.handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  RECT button = place(window.Command1);
  EXPECT_EQ(button.left, pixels(5040));
  EXPECT_EQ(button.top, pixels(4800));
  EXPECT_EQ(button.right - button.left, pixels(1215));
  EXPECT_EQ(button.bottom - button.top, pixels(375));
  RECT toggle = place(window.Check1);
  EXPECT_EQ(toggle.left, pixels(2520));
  EXPECT_EQ(toggle.top, pixels(3720));
  RECT analyser = place(window.Command2);
  EXPECT_EQ(analyser.left, pixels(7920));
  EXPECT_EQ(analyser.top, pixels(4800));
  EXPECT_EQ(analyser.right - analyser.left, pixels(1215));
  EXPECT_EQ(analyser.bottom - analyser.top, pixels(375));
  EXPECT_EQ(window.Command2.Caption(), L"Analyser");
  RECT panel = place(window.Frame6);
  EXPECT_EQ(panel.top, pixels(2760));
  EXPECT_EQ(panel.bottom, pixels(2760 + 1935));
  EXPECT_LE(panel.bottom, analyser.top);
  EXPECT_EQ(window.Frame6.Caption(), L"Aperçu");
  RECT frame = place(window.Frame4);
  EXPECT_EQ(frame.right - frame.left, pixels(5775));
  EXPECT_EQ(window.Check3.Caption(), L"Url tapés");
  EXPECT_EQ(window.Check13.Caption(), L"Mémoire tampon");
  EXPECT_EQ(window.Frame4.Caption(), L"Système");
  EXPECT_EQ(window.Check7.Caption(), L"Documents récents");

  // The "Navigateurs" group, to the right of "Windows", the size of "Internet Explorer".
  auto expect_at = [&](const platform::ui::Control& control, int left, int top, int width,
                       int height) {
    RECT rect = place(control);
    EXPECT_EQ(rect.left, pixels(left)) << platform::ToUtf8(control.Caption());
    EXPECT_EQ(rect.top, pixels(top)) << platform::ToUtf8(control.Caption());
    EXPECT_EQ(rect.right - rect.left, pixels(width)) << platform::ToUtf8(control.Caption());
    EXPECT_EQ(rect.bottom - rect.top, pixels(height)) << platform::ToUtf8(control.Caption());
  };
  expect_at(window.Frame5, 6480, 240, 2655, 2415);
  expect_at(window.Check18, 6720, 600, 1695, 375);
  expect_at(window.Check19, 6720, 960, 1695, 375);
  expect_at(window.Check20, 6720, 1320, 1695, 375);
  expect_at(window.Check21, 6720, 2280, 2295, 255);
  expect_at(window.Label4, 6720, 1740, 2295, 495);
  expect_at(window.Frame2, 360, 240, 2655, 2415);
  expect_at(window.Frame3, 3360, 240, 2775, 2415);
  expect_at(window.Label3, 360, 4110, 5775, 675);
  EXPECT_EQ(window.Frame5.Caption(), L"Navigateurs");
  EXPECT_EQ(window.Check18.Caption(), L"Cookies");
  EXPECT_EQ(window.Check19.Caption(), L"Historique");
  EXPECT_EQ(window.Check20.Caption(), L"Cache");
  EXPECT_EQ(window.Check21.Caption(), L"Cocher/decocher tout");
}

TEST(DepartBrowsersLine, NamesTheBrowsersFoundOrSaysNoneWasFound) {
  Depart found;
  found.steps.find_browsers = [] {
    return std::vector<std::wstring>{L"Edge", L"Chrome", L"Firefox"};
  };
  ASSERT_TRUE(found.Create().ok());
  EXPECT_EQ(found.Label4.Caption(), L"Edge, Chrome, Firefox");
  Depart none;
  none.steps.find_browsers = [] { return std::vector<std::wstring>(); };
  ASSERT_TRUE(none.Create().ok());
  EXPECT_EQ(none.Label4.Caption(), L"Aucun navigateur trouvé");
}

TEST_F(DepartWindow, FocusRunsThroughTheBoxesInTheirFixedOrder) {
  Depart& w = window;
  const std::vector<platform::ui::Control*> expected = {
      &w.Check9,  &w.Check13, &w.Check1,  &w.Check8,  &w.Check17,  &w.Check2, &w.Check3,
      &w.Check4,  &w.Check5,  &w.Check16, &w.Check11, &w.Check10,  &w.Check6, &w.Check7,
      &w.Check21, &w.Check18, &w.Check19, &w.Check20, &w.Command1, &w.Text1,  &w.Command2};
  HWND item = GetNextDlgTabItem(w.form.handle(), nullptr, FALSE);
  for (platform::ui::Control* control : expected) {
    EXPECT_EQ(item, control->handle()) << platform::ToUtf8(control->Caption());
    item = GetNextDlgTabItem(w.form.handle(), item, FALSE);
  }
  EXPECT_EQ(item, w.Check9.handle());  // and round again
}

TEST_F(DepartWindow, ColoursOfFramesBoxesTogglesAndLabels) {
  HWND form = window.form.handle();
  auto colours_for = [&](const platform::ui::Control& control) {
    HDC dc = GetDC(control.handle());
    SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control.handle()));
    std::pair<COLORREF, COLORREF> result{GetBkColor(dc), GetTextColor(dc)};
    ReleaseDC(control.handle(), dc);
    return result;
  };
  EXPECT_EQ(colours_for(window.Check2).first, RGB(192, 255, 192));
  EXPECT_EQ(colours_for(window.Check17).first, RGB(192, 255, 192));
  EXPECT_EQ(colours_for(window.Check17).second, RGB(0, 0, 255));
  EXPECT_EQ(colours_for(window.Label1).first, RGB(192, 255, 255));
  EXPECT_EQ(colours_for(window.Label1).second, RGB(0, 0, 128));
  EXPECT_EQ(colours_for(window.Label2).first, RGB(192, 255, 255));

  // What is really drawn: the frame's face and the button's face, read back from the screen.
  UpdateWindow(form);
  auto pixel_at = [&](const platform::ui::Control& control, int x, int y) {
    HDC dc = GetDC(control.handle());
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(control.handle(), dc);
    return colour;
  };
  RedrawWindow(form, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(pixel_at(window.Frame2, 20, 150), RGB(192, 255, 192));
  EXPECT_EQ(pixel_at(window.Frame5, 20, 150), RGB(192, 255, 192));
  EXPECT_EQ(colours_for(window.Check18).first, RGB(192, 255, 192));
  EXPECT_EQ(colours_for(window.Check21).second, RGB(0, 0, 255));
  EXPECT_EQ(colours_for(window.Label4).first, RGB(192, 255, 192));
  EXPECT_EQ(pixel_at(window.Command1, 6, 6), RGB(192, 255, 192));

  for (const platform::ui::Control* toggle : {&window.Check16, &window.Check21}) {
    LOGFONTW font{};
    auto font_handle = reinterpret_cast<HFONT>(SendMessageW(toggle->handle(), WM_GETFONT, 0, 0));
    GetObjectW(font_handle, sizeof font, &font);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
  }
}

TEST_F(DepartWindow, EachToggleSetsItsOwnGroupOnly) {
  Depart& w = window;
  w.Check17.SetValue(kChecked);
  EXPECT_EQ(Values({&w.Check2, &w.Check3, &w.Check4, &w.Check5}), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(
      Values({&w.Check6, &w.Check7, &w.Check10, &w.Check11, &w.Check8, &w.Check9, &w.Check13}),
      (std::vector<int>(7, 0)));

  w.Check3.SetValue(kUnchecked);  // a member never moves its toggle
  EXPECT_EQ(w.Check17.Value(), kChecked);
  w.Check17.SetValue(kUnchecked);  // clears all four whatever their states
  EXPECT_EQ(Values({&w.Check2, &w.Check3, &w.Check4, &w.Check5}), (std::vector<int>{0, 0, 0, 0}));

  w.Check16.SetValue(kChecked);
  EXPECT_EQ(Values({&w.Check6, &w.Check7, &w.Check10, &w.Check11}), (std::vector<int>{1, 1, 1, 1}));
  w.Check1.SetValue(kChecked);
  EXPECT_EQ(Values({&w.Check8, &w.Check9, &w.Check13}), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(Values({&w.Check2, &w.Check3, &w.Check4, &w.Check5}), (std::vector<int>{0, 0, 0, 0}));

  for (CheckBox* member : {&w.Check2, &w.Check3, &w.Check4, &w.Check5})
    member->SetValue(kChecked);
  EXPECT_EQ(w.Check17.Value(), kUnchecked);

  EXPECT_EQ(Values({&w.Check18, &w.Check19, &w.Check20}), (std::vector<int>{0, 0, 0}));
  w.Check21.SetValue(kChecked);
  EXPECT_EQ(Values({&w.Check18, &w.Check19, &w.Check20}), (std::vector<int>{1, 1, 1}));
  w.Check17.SetValue(kUnchecked);
  w.Check16.SetValue(kUnchecked);
  w.Check1.SetValue(kUnchecked);
  EXPECT_EQ(Values({&w.Check18, &w.Check19, &w.Check20}), (std::vector<int>{1, 1, 1}));
  w.Check21.SetValue(kUnchecked);
  EXPECT_EQ(Values({&w.Check18, &w.Check19, &w.Check20}), (std::vector<int>{0, 0, 0}));
}

TEST_F(DepartWindow, AGreyToggleChangesNothing) {
  Depart& w = window;
  w.Check2.SetValue(kChecked);
  w.Check17.SetValue(kGrey);  // its click procedure runs and leaves the members alone
  EXPECT_EQ(Values({&w.Check2, &w.Check3, &w.Check4, &w.Check5}), (std::vector<int>{1, 0, 0, 0}));
}

TEST_F(DepartWindow, AUserClickMovesABoxBetweenUncheckedAndChecked) {
  HWND box = window.Check5.handle();
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(window.Check5.Value(), kChecked);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(window.Check5.Value(), kUnchecked);
  SendMessageW(window.Check16.handle(), BM_CLICK, 0, 0);  // the toggle's procedure runs too
  EXPECT_EQ(window.Check10.Value(), kChecked);
}

TEST_F(DepartWindow, FormInitializeClearsTogglesAndMembersAndEnablesTheButton) {
  Depart& w = window;
  w.Check1.SetValue(kChecked);
  w.Check16.SetValue(kChecked);
  w.Check17.SetValue(kChecked);
  w.Check21.SetValue(kChecked);
  w.Check9.SetValue(kGrey);
  w.Check20.SetValue(kGrey);
  w.Command1.SetEnabled(false);
  w.Form_Initialize();
  for (CheckBox* box : AllBoxes())
    EXPECT_EQ(box->Value(), kUnchecked) << platform::ToUtf8(box->Caption());
  EXPECT_TRUE(w.Command1.Enabled());
}

}  // namespace
