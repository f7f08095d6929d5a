#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>

namespace codeeingabe {

// Where the code generator's randomness comes from: the operating system's cryptographic
// generator in the program, a seeded one in tests.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills every byte; false when the generator cannot deliver.
    virtual bool Fill(std::span<std::uint8_t> bytes) = 0;
};

// The time of day that every reseed mixes in: seconds since midnight, with their fraction.
class TimeOfDay {
public:
    virtual ~TimeOfDay() = default;
    virtual float SecondsSinceMidnight() = 0;
};

// The random source failed: no code may be drawn, as it could be guessed.
class RandomSourceFailure : public std::runtime_error {
public:
    RandomSourceFailure() : std::runtime_error("the random source failed") {}
};

}  // namespace codeeingabe
