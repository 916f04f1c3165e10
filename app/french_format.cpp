#include "app/french_format.h"

namespace french {

std::wstring Count(std::uint64_t value) {
  // Written from the last digit back, a space before every third one.
  wchar_t text[32];
  wchar_t* start = text + 32;
  for (int digits = 0; digits == 0 || value > 0; ++digits, value /= 10) {
    if (digits > 0 && digits % 3 == 0)
      *--start = kSpace;
    *--start = static_cast<wchar_t>(L'0' + value % 10);
  }
  return std::wstring(start, text + 32);
}

Size SizeOf(std::uint64_t bytes) {
  Size size;
  if (bytes < 1024) {
    size.text = Count(bytes);
    size.text.append(1, kSpace).append(bytes < 2 ? L"octet" : L"octets");
    size.plural = bytes >= 2;
    return size;
  }
  static const wchar_t* const kUnits[] = {L"Ko", L"Mo", L"Go"};
  constexpr int kLastUnit = 2;
  int unit = 0;
  std::uint64_t unit_bytes = 1024;
  while (unit < kLastUnit && bytes / unit_bytes >= 1024) {
    ++unit;
    unit_bytes *= 1024;
  }
  for (;;) {
    const std::uint64_t whole = bytes / unit_bytes;
    const std::uint64_t rest = bytes % unit_bytes;
    if (whole < 100) {
      const std::uint64_t tenths = whole * 10 + (rest * 10 + unit_bytes / 2) / unit_bytes;
      if (tenths < 1000) {
        size.text = Count(tenths / 10);
        size.text.append(1, L',').append(1, static_cast<wchar_t>(L'0' + tenths % 10));
        size.text.append(1, kSpace).append(kUnits[unit]);
        size.plural = tenths >= 20;
        return size;
      }
    }
    const std::uint64_t rounded = whole + (rest >= unit_bytes - rest ? 1 : 0);
    // 1,023.6 Ko reads better as 1,0 Mo than as 1 024 Ko.
    if (rounded < 1024 || unit == kLastUnit) {
      size.text = Count(rounded);
      size.text.append(1, kSpace).append(kUnits[unit]);
      size.plural = true;
      return size;
    }
    ++unit;
    unit_bytes *= 1024;
  }
}

std::wstring Counted(std::uint64_t value, const wchar_t* singular, const wchar_t* plural) {
  return Count(value).append(1, L' ').append(value < 2 ? singular : plural);
}

}  // namespace french
