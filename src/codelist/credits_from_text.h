#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace codeeingabe {

// The number the text starts with, read the same in every locale. Blanks,
// tabs and line feeds are skipped wherever they stand; "&H"/"&O" select hex
// or octal. Anything that is no number reads as 0; overflow saturates to
// infinity instead of failing.
double LeadingNumber(std::string_view text);

// The nearest whole number, halves to the even one, whatever the current rounding mode.
double RoundHalfToEven(double value);

// LeadingNumber rounded half to even; nullopt outside int16, as a credit count other
// than the typed one must never result silently (callers reject it or fall back to 0).
std::optional<std::int16_t> CreditsFromText(std::string_view text);

}  // namespace codeeingabe
