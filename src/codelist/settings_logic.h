#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codelist/numeric_text.h"

namespace codeeingabe {

enum class SettingsVerdict { saved, creditsNotNumeric, masterCodeNotNumeric, masterCodeListed };

struct SettingsCheck {
    SettingsVerdict verdict;
    std::int16_t creditsPerCode;  // the new value, when the texts may be saved
};

// Whether the two texts of the settings window may be saved, checked in this order: the credits
// text must be numeric in the user's format, the master code text too. A credits text whose whole
// number does not fit 16 bits counts as not numeric: saving it would change the credits per code
// to a value nobody typed. A master code that the keypad could match must not be a code of the
// list (its bytes): the keypad tests the master code first, so a guest typing that code would get
// the master window instead of the credit.
SettingsCheck CheckSettings(std::string_view creditsText, std::string_view masterCodeText, const NumberFormat& format,
                            std::string_view codeList);

}  // namespace codeeingabe
