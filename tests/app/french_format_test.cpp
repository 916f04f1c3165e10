// French numbers and sizes, and the status line's texts built from them.

#include "app/french_format.h"

#include <gtest/gtest.h>

#include "app/run_status.h"

namespace {

TEST(FrenchFormat, GroupsThousandsWithANoBreakSpaceAndUsesADecimalComma) {
  const struct {
    std::uint64_t value;
    const wchar_t* count;
    const wchar_t* size;
  } kCases[] = {
      {0, L"0", L"0\u00A0octet"},
      {1, L"1", L"1\u00A0octet"},
      {1023, L"1\u00A0023", L"1\u00A0023\u00A0octets"},
      {1024, L"1\u00A0024", L"1,0\u00A0Ko"},
      {1536, L"1\u00A0536", L"1,5\u00A0Ko"},
      {102297, L"102\u00A0297", L"99,9\u00A0Ko"},
      {102350, L"102\u00A0350", L"100\u00A0Ko"},
      {1048064, L"1\u00A0048\u00A0064", L"1,0\u00A0Mo"},  // 1 023,5 Ko
      {59454259, L"59\u00A0454\u00A0259", L"56,7\u00A0Mo"},
      {5497558138880, L"5\u00A0497\u00A0558\u00A0138\u00A0880", L"5\u00A0120\u00A0Go"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(french::Count(c.value), c.count) << c.value;
    EXPECT_EQ(french::SizeOf(c.value).text, c.size) << c.value;
  }
  EXPECT_FALSE(french::SizeOf(1).plural);
  EXPECT_FALSE(french::SizeOf(1996).plural);  // "1,9 Ko": the plural starts at 2
  EXPECT_TRUE(french::SizeOf(2047).plural);   // "2,0 Ko"
}

TEST(FrenchFormat, StepAndSummaryTexts) {
  EXPECT_EQ(StepText(L"Fichiers Temp", 1234, 59454259),
            L"Fichiers Temp : 1\u00A0234 éléments supprimés, 56,7\u00A0Mo libérés");
  EXPECT_EQ(StepText(L"Cookies", 1, 1), L"Cookies : 1 élément supprimé, 1\u00A0octet libéré");
  EXPECT_EQ(SummaryText({0, 0, 0, 0, 0, 0}),
            L"Terminé : 0 élément supprimé, 0\u00A0octet libéré.\r\nÉléments restants : aucun.");
  EXPECT_EQ(SummaryText({5, 3072, 1, 2, 1, 3}),
            L"Terminé : 5 éléments supprimés, 3,0\u00A0Ko libérés.\r\nÉléments restants : 1 en "
            L"cours d'utilisation, 2 accès refusés, 1 lien laissé en place, 3 pour d'autres "
            L"raisons.");
  // What a cleaner leaves on purpose counts as left too.
  EXPECT_EQ(SummaryText({0, 0, 0, 0, 0, 0, 1}),
            L"Terminé : 0 élément supprimé, 0\u00A0octet libéré.\r\nÉléments restants : 1 caché "
            L"ou système (laissé volontairement).");
  EXPECT_EQ(SummaryText({7, 70, 1, 0, 0, 0, 12}),
            L"Terminé : 7 éléments supprimés, 70\u00A0octets libérés.\r\nÉléments restants : 1 en "
            L"cours d'utilisation, 12 cachés ou système (laissés volontairement).");
}

}  // namespace
