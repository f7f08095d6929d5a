#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "codelist/chacha20.h"
#include "codelist/random_source.h"

namespace codeeingabe {

// Draws one credit code; generation asks it again and again until it has enough different codes.
class CodeSource {
public:
    virtual ~CodeSource() = default;
    virtual std::string GenerateCode() = 0;
};

// A credit code is money, so its digits must not be guessable. Before every digit the generator
// reseeds: it mixes the time of day and fresh bytes of the random source into its running state
// (a ChaCha20 key) instead of restarting from the time, so draws within one clock tick still
// differ. Digits come from the key stream by rejection sampling, so each is equally likely.
class CodeGenerator : public CodeSource {
public:
    CodeGenerator(RandomSource& random, TimeOfDay& clock) : random_(random), clock_(clock) {}

    // Five digits, leading zeros kept. Throws RandomSourceFailure when the source fails.
    std::string GenerateCode() override;

private:
    void Reseed();
    int NextDigit();

    RandomSource& random_;
    TimeOfDay& clock_;
    ChaChaKey state_{};
    std::uint32_t reseeds_ = 0;
    ChaChaBlock stream_{};
    std::size_t streamUsed_ = stream_.size();
    std::uint32_t streamBlock_ = 0;
};

// The digit a key-stream byte stands for; nullopt for the bytes 250 to 255, which are drawn again
// because 256 is no multiple of 10.
std::optional<int> DigitOfByte(std::uint8_t byte);

}  // namespace codeeingabe
