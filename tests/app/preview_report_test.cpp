#include "app/preview_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The texts below write the no-break space of French numbers as "~".
std::wstring Readable(std::wstring text) {
  for (wchar_t& c : text)
    if (c == L'\u00A0')
      c = L'~';
  return text;
}

BoxPreview Box(const wchar_t* box, const wchar_t* group, std::uint64_t items, std::uint64_t bytes) {
  BoxPreview preview{box, group, {}, {}, false};
  preview.counts.deleted = items;
  preview.counts.bytes = bytes;
  return preview;
}

TEST(PreviewReport, EachBoxSaysWhatWouldGoAndWhatWouldStayWithTheSummarysReasons) {
  BoxPreview temp = Box(L"Fichiers Temp", L"Windows", 1234, 59455488);  // 56,7 Mo
  EXPECT_EQ(Readable(PreviewLine(temp)), L"Fichiers Temp (Windows) : 1~234 éléments, 56,7~Mo");

  BoxPreview cookies = Box(L"Cookies", L"Navigateurs", 17, 2202010);
  cookies.left_because = {L"Firefox est ouvert"};
  cookies.counts.in_use = 2;
  cookies.counts.kept = 1;
  EXPECT_EQ(Readable(PreviewLine(cookies)),
            L"Cookies (Navigateurs) : 17 éléments, 2,1~Mo ; laissés : Firefox est ouvert, 2 en "
            L"cours d'utilisation, 1 caché ou système (laissé volontairement)");

  BoxPreview prefetch = Box(L"Prefetch", L"Windows", 0, 0);
  prefetch.needs_administrator = true;
  EXPECT_EQ(PreviewLine(prefetch),
            L"Prefetch (Windows) : accès refusé, démarrez le programme en administrateur pour "
            L"l'analyser");

  BoxPreview empty = Box(L"Presse-papiers", L"Système", 0, 0);
  EXPECT_EQ(PreviewLine(empty), L"Presse-papiers (Système) : rien à supprimer");
  empty.counts.links = 1;
  EXPECT_EQ(PreviewLine(empty),
            L"Presse-papiers (Système) : rien à supprimer ; laissés : 1 lien laissé en place");
}

TEST(PreviewReport, ThePanelEndsWithTheTotalAndTheStatusLineSumsItUp) {
  const std::vector<BoxPreview> boxes = {Box(L"Fichiers Temp", L"Windows", 1234, 59455488),
                                         Box(L"Cookies", L"Navigateurs", 17, 2202010),
                                         Box(L"Url tapés", L"Internet Explorer", 1, 0)};
  EXPECT_EQ(Readable(PreviewPanelText(boxes)),
            L"Fichiers Temp (Windows) : 1~234 éléments, 56,7~Mo\r\n"
            L"Cookies (Navigateurs) : 17 éléments, 2,1~Mo\r\n"
            L"Url tapés (Internet Explorer) : 1 élément, 0~octet\r\n"
            L"Total : 1~252 éléments, 58,8~Mo");
  EXPECT_EQ(Readable(PreviewStatusText(boxes)), L"Aperçu : 1~252 éléments à supprimer, 58,8~Mo");
  EXPECT_EQ(Readable(PreviewStatusText({})), L"Aperçu : 0 élément à supprimer, 0~octet");
}

}  // namespace
