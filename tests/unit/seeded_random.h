#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string_view>

#include "codelist/random_source.h"

namespace codeeingabe::test {

// What a generated code must be: exactly five ASCII digits.
inline bool IsFiveDigits(std::string_view code) {
    return code.size() == 5 && code.find_first_not_of("0123456789") == std::string_view::npos;
}

// A deterministic stand-in for the system's generator: the same seed gives the same bytes.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    bool Fill(std::span<std::uint8_t> bytes) override {
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(engine_() >> 56);
        ++fills_;
        return true;
    }
    int Fills() const { return fills_; }

private:
    std::mt19937_64 engine_;
    int fills_ = 0;
};

// A broken system generator that always gives the same bytes.
class ConstantRandom : public RandomSource {
public:
    bool Fill(std::span<std::uint8_t> bytes) override {
        for (auto& byte : bytes) byte = 0;
        return true;
    }
};

// A system generator that delivers the given number of times, then fails.
class FailingRandom : public RandomSource {
public:
    explicit FailingRandom(int deliveries) : left_(deliveries) {}
    bool Fill(std::span<std::uint8_t> bytes) override {
        if (left_ == 0) return false;
        --left_;
        for (auto& byte : bytes) byte = 0x5A;
        return true;
    }

private:
    int left_;
};

// A clock that stands still: every draw happens within one tick.
class FixedClock : public TimeOfDay {
public:
    explicit FixedClock(float seconds) : seconds_(seconds) {}
    float SecondsSinceMidnight() override {
        ++reads_;
        return seconds_;
    }
    int Reads() const { return reads_; }

private:
    float seconds_;
    int reads_ = 0;
};

}  // namespace codeeingabe::test
