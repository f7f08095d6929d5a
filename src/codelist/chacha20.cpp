#include "codelist/chacha20.h"

namespace codeeingabe {
namespace {

constexpr std::uint32_t RotateLeft(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

void QuarterRound(std::array<std::uint32_t, 16>& x, int a, int b, int c, int d) {
    x[a] += x[b];
    x[d] ^= x[a];
    x[d] = RotateLeft(x[d], 16);
    x[c] += x[d];
    x[b] ^= x[c];
    x[b] = RotateLeft(x[b], 12);
    x[a] += x[b];
    x[d] ^= x[a];
    x[d] = RotateLeft(x[d], 8);
    x[c] += x[d];
    x[b] ^= x[c];
    x[b] = RotateLeft(x[b], 7);
}

std::uint32_t LittleEndianWord(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace

ChaChaBlock ChaCha20Block(const ChaChaKey& key, std::uint32_t counter, const ChaChaNonce& nonce) {
    // "expand 32-byte k"
    std::array<std::uint32_t, 16> initial{0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
    for (int i = 0; i < 8; ++i) initial[4 + i] = LittleEndianWord(key.data() + 4 * i);
    initial[12] = counter;
    initial[13] = nonce[0];
    initial[14] = nonce[1];
    initial[15] = nonce[2];

    std::array<std::uint32_t, 16> x = initial;
    for (int round = 0; round < 10; ++round) {
        QuarterRound(x, 0, 4, 8, 12);
        QuarterRound(x, 1, 5, 9, 13);
        QuarterRound(x, 2, 6, 10, 14);
        QuarterRound(x, 3, 7, 11, 15);
        QuarterRound(x, 0, 5, 10, 15);
        QuarterRound(x, 1, 6, 11, 12);
        QuarterRound(x, 2, 7, 8, 13);
        QuarterRound(x, 3, 4, 9, 14);
    }

    ChaChaBlock block{};
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t word = x[i] + initial[i];
        for (int b = 0; b < 4; ++b) block[4 * i + b] = static_cast<std::uint8_t>(word >> (8 * b));
    }
    return block;
}

}  // namespace codeeingabe
