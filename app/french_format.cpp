#include "app/french_format.h"

namespace french {

std::wstring Count(std::uint64_t value) {
  const std::wstring digits = std::to_wstring(value);
  std::wstring text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      text += kSpace;
    text += digits[i];
  }
  return text;
}

Size SizeOf(std::uint64_t bytes) {
  if (bytes < 1024)
    return {Count(bytes) + kSpace + (bytes < 2 ? L"octet" : L"octets"), bytes >= 2};
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
      if (tenths < 1000)
        return {Count(tenths / 10) + L',' + std::to_wstring(tenths % 10) + kSpace + kUnits[unit],
                tenths >= 20};
    }
    const std::uint64_t rounded = whole + (rest >= unit_bytes - rest ? 1 : 0);
    // 1,023.6 Ko reads better as 1,0 Mo than as 1 024 Ko.
    if (rounded < 1024 || unit == kLastUnit)
      return {Count(rounded) + kSpace + kUnits[unit], true};
    ++unit;
    unit_bytes *= 1024;
  }
}

std::wstring Counted(std::uint64_t value, const std::wstring& singular,
                     const std::wstring& plural) {
  return Count(value) + L' ' + (value < 2 ? singular : plural);
}

}  // namespace french
