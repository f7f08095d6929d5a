#pragma once

#include <array>
#include <cstdint>

namespace codeeingabe {

using ChaChaKey = std::array<std::uint8_t, 32>;
using ChaChaNonce = std::array<std::uint32_t, 3>;
using ChaChaBlock = std::array<std::uint8_t, 64>;

// The ChaCha20 block function (RFC 8439): 64 bytes of key stream for a key, a block counter and a
// nonce. The code generator's running state is a ChaCha20 key.
ChaChaBlock ChaCha20Block(const ChaChaKey& key, std::uint32_t counter, const ChaChaNonce& nonce);

}  // namespace codeeingabe
