#pragma once
// Numbers and sizes written the French way, whatever the system's locale: groups of three
// digits joined by a no-break space, a decimal comma, and the units octets, Ko, Mo and Go
// (1 Ko = 1,024 octets). The no-break space keeps a number, and a number and its unit, on one
// line when the text wraps.

#include <cstdint>
#include <string>

namespace french {

inline constexpr wchar_t kSpace = L'\u00A0';

// "0", "999", "1 234", "12 345 678".
std::wstring Count(std::uint64_t value);

// A size as a person reads it: "0 octet", "512 octets", "1,5 Ko", "56,7 Mo", "123 Mo",
// "1 024 Go". One decimal below 100 units, whole units from there.
struct Size {
  std::wstring text;
  bool plural = false;  // French takes the plural from 2 on: "1,5 Mo libéré", "2,0 Mo libérés"
};
Size SizeOf(std::uint64_t bytes);

// "1 élément supprimé", "2 éléments supprimés": `singular` and `plural` are the noun phrase's
// two forms; 0 and 1 take the singular.
std::wstring Counted(std::uint64_t value, const wchar_t* singular, const wchar_t* plural);

}  // namespace french
