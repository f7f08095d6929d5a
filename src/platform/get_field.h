#pragma once

#include <string>
#include <string_view>

namespace codeeingabe {

// Piece n (from 1) of text split at every occurrence of delimiter. Empty when
// the delimiter does not occur at all, even for n = 1, so a line without
// "=" yields no code rather than the whole line.
std::string GetField(std::string_view text, int n, std::string_view delimiter);

}  // namespace codeeingabe
