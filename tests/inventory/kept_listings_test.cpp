#include "inventory/kept_listings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::deletion::Entry;

std::vector<Entry> ListingOf(const wchar_t* name) {
  return {Entry{name, 0, 5, 42}};
}

// A listing serves only the folder it was made of: one whose number is unknown, or that two
// folders share (ReFS gives all ones to files whose own number does not fit), serves none.
TEST(KeptListings, AListingServesOnlyTheOneFolderItsNumberNames) {
  KeptListings kept;
  kept.Keep(7, ListingOf(L"seven.tmp"));
  kept.Keep(0, ListingOf(L"unknown.tmp"));
  kept.Keep(~0ull, ListingOf(L"refs-a.tmp"));
  kept.Keep(9, ListingOf(L"nine-a.tmp"));
  kept.Keep(9, ListingOf(L"nine-b.tmp"));
  kept.Keep(9, ListingOf(L"nine-c.tmp"));

  std::vector<Entry> entries;
  EXPECT_FALSE(kept.Take(0, &entries));
  EXPECT_FALSE(kept.Take(~0ull, &entries));
  EXPECT_FALSE(kept.Take(9, &entries));
  ASSERT_TRUE(kept.Take(7, &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, L"seven.tmp");
  EXPECT_FALSE(kept.Take(7, &entries));  // handed over once
}

TEST(KeptListings, PastItsBudgetFoldersAreListedAgain) {
  KeptListings kept;
  std::vector<Entry> large(KeptListings::kMaxEntries - 1, Entry{L"f.tmp", 0, 1, 3});
  kept.Keep(1, std::move(large));
  kept.Keep(2, ListingOf(L"fits.tmp"));
  kept.Keep(3, ListingOf(L"past.tmp"));
  std::vector<Entry> entries;
  EXPECT_TRUE(kept.Take(2, &entries));
  EXPECT_FALSE(kept.Take(3, &entries));
  EXPECT_TRUE(kept.Take(1, &entries));
  kept.Keep(4, ListingOf(L"room-again.tmp"));  // what was handed over no longer counts
  EXPECT_TRUE(kept.Take(4, &entries));
}

}  // namespace
