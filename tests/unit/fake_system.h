#pragma once

#include <random>

#include "codelist/random_source.h"

namespace codeeingabe::test {

// The system's generator and clock as the tests need them: seeded bytes, or all zero (seed 0) as a
// broken generator, failing from the given delivery on; a clock that stands still.
struct FakeSystem : RandomSource, TimeOfDay {
    FakeSystem(std::uint64_t seed, float t, int deliveries = -1)
        : engine(seed), broken(seed == 0), seconds(t), left(deliveries) {}
    bool Fill(std::span<std::uint8_t> bytes) override {
        for (auto& byte : bytes) byte = broken ? 0 : static_cast<std::uint8_t>(engine() >> 56);
        return left-- != 0;
    }
    float SecondsSinceMidnight() override { return seconds; }
    std::mt19937_64 engine;
    bool broken;
    float seconds;
    int left;
};

}  // namespace codeeingabe::test
