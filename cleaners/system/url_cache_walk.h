#pragma once
// Collecting the cookie and URL history entries of the URL cache.

#include <cstdint>

#include "cleaners/system/cache_entry.h"
#include "platform/status.h"

// Cache entry types collected, compared as whole values: a normal entry that is a cookie, and
// a normal entry that is a URL history record. Entries with further flags are left out.
inline constexpr std::uint32_t kCollectedCookieType = 0x00100001;
inline constexpr std::uint32_t kCollectedHistoryType = 0x00200001;

// Empties both lists, then walks the whole cache and appends each history entry to `history`
// and each cookie entry to `cookies`, in cache order; each list ends in one blank record.
// Pending window events run after every entry marked normal, collected or not.
//
// A failing cache call ends the walk quietly with what was collected so far. A value that does
// not fit its field (a date beyond the year 9999, a size outside the signed 32-bit range) ends
// the walk at once and its status is returned: the record being filled keeps the fields filled
// before the failing one, and the blank record stays last.
platform::Status EnumUrlCache(CacheEntryList* history, CacheEntryList* cookies);

// The entry's size, high half times 2^32 plus low half, each half read as a signed 32-bit
// number. Fails with kOutOfRange when the result does not fit a signed 32-bit number.
platform::Status CacheEntrySize(std::uint32_t size_high, std::uint32_t size_low,
                                std::int32_t* size);
