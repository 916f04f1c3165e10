#pragma once
// Collecting the cookie and URL history entries of the URL cache.

#include <cstdint>

#include "cleaners/system/cache_entry.h"
#include "platform/status.h"

// Cache entry types collected, compared as whole values: a normal entry that is a cookie, and
// a normal entry that is a URL history record. Entries with further flags are left out.
inline constexpr std::uint32_t kCollectedCookieType = 0x00100001;
inline constexpr std::uint32_t kCollectedHistoryType = 0x00200001;

// Empties both lists, then walks the cache three times: without a pattern (on Windows the
// content entries only), then with "cookie:" and "visited:" (Windows gives the cookies and the
// URL history only to these; Wine gives every entry to the first walk and none to these). Each
// history entry is appended to `history` and each cookie entry to `cookies` once (by its
// source URL), in the order of the walks and of the cache within each walk; each list ends in
// one blank record. Pending window events run after every entry marked normal, collected or
// not.
//
// A failing cache call ends that walk quietly with what was collected so far. A value that does
// not fit its field (a date beyond the year 9999, a size outside the signed 32-bit range)
// gives that field 0 and the walks go on.
platform::Status EnumUrlCache(CacheEntryList* history, CacheEntryList* cookies);

// The entry's size, high half times 2^32 plus low half, each half read as a signed 32-bit
// number; 0 when the result does not fit a signed 32-bit number.
std::int32_t CacheEntrySize(std::uint32_t size_high, std::uint32_t size_low);
