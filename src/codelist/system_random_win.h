#pragma once

#include "codelist/random_source.h"

namespace codeeingabe {

// The operating system's cryptographic generator (BCryptGenRandom). Stateless.
RandomSource& SystemRandomSource();

// The local time of day, to the millisecond. Stateless.
TimeOfDay& SystemTimeOfDay();

}  // namespace codeeingabe
