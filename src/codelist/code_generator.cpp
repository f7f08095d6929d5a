#include "codelist/code_generator.h"

#include <bit>

namespace codeeingabe {
namespace {

constexpr int kCodeLength = 5;
// The largest multiple of 10 that a byte can hold: bytes from here on would favour 0 to 5.
constexpr std::uint8_t kFirstRejectedByte = 250;

// Nonces keep the reseeding blocks and the digit blocks of one key apart.
constexpr std::uint32_t kReseedDomain = 1;
constexpr ChaChaNonce kDigitNonce{0, 0, 0};

}  // namespace

std::optional<int> DigitOfByte(std::uint8_t byte) {
    if (byte >= kFirstRejectedByte) return std::nullopt;
    return byte % 10;
}

std::string CodeGenerator::GenerateCode() {
    std::string code;
    for (int i = 0; i < kCodeLength; ++i) {
        Reseed();
        code.push_back(static_cast<char>('0' + NextDigit()));
    }
    return code;
}

void CodeGenerator::Reseed() {
    ChaChaKey fresh{};
    if (!random_.Fill(fresh)) throw RandomSourceFailure();
    const auto time = std::bit_cast<std::uint32_t>(clock_.SecondsSinceMidnight());
    // The old state, the time and the reseed count go through the cipher together; the fresh
    // bytes are added on top. Knowing the time alone thus tells nothing about the new state.
    const ChaChaBlock mixed = ChaCha20Block(state_, 0, ChaChaNonce{time, reseeds_++, kReseedDomain});
    for (std::size_t i = 0; i < state_.size(); ++i) state_[i] = static_cast<std::uint8_t>(mixed[i] ^ fresh[i]);
    streamBlock_ = 0;
    streamUsed_ = stream_.size();
}

int CodeGenerator::NextDigit() {
    for (;;) {
        if (streamUsed_ == stream_.size()) {
            stream_ = ChaCha20Block(state_, streamBlock_++, kDigitNonce);
            streamUsed_ = 0;
        }
        if (const auto digit = DigitOfByte(stream_[streamUsed_++])) return *digit;
    }
}

}  // namespace codeeingabe
