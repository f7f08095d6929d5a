#pragma once

#include <string>
#include <string_view>

namespace codeeingabe {

// The user's regional number format; separators may be several bytes long
// (a non-breaking space as grouping, for instance).
struct NumberFormat {
    std::string decimal_separator;
    std::string grouping_separator;
};

// Whether the whole text, surrounding blanks and tabs aside, reads as one
// number in that format. Group sizes are not checked, as users type loosely.
bool IsNumericText(std::string_view text, const NumberFormat& format);

}  // namespace codeeingabe
