#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codelist/numeric_text.h"

namespace codeeingabe {

enum class SettingsVerdict { saved, creditsNotNumeric, masterCodeNotNumeric };

struct SettingsCheck {
    SettingsVerdict verdict;
    std::int16_t creditsPerCode;  // the new value, when the texts may be saved
};

// Whether the two texts of the settings window may be saved, checked in this order: the credits
// text must be numeric in the user's format, the master code text too. A credits text whose whole
// number does not fit 16 bits counts as not numeric: saving it would change the credits per code
// to a value nobody typed.
SettingsCheck CheckSettings(std::string_view creditsText, std::string_view masterCodeText, const NumberFormat& format);

}  // namespace codeeingabe
