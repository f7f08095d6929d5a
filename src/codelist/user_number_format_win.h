#pragma once

#include "codelist/numeric_text.h"

namespace codeeingabe {

// The decimal and grouping separators of the user's regional settings, in the ANSI code page.
NumberFormat UserNumberFormat();

}  // namespace codeeingabe
