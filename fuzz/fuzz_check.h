#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace codeeingabe::fuzz {

// Bytes as a C string literal, so that a failed property can be read and turned into a test.
inline std::string Escaped(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

[[noreturn]] inline void Fail(const char* property, const char* file, int line, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n%s\n", file, line, property, detail.c_str());
    // abort, so that libFuzzer keeps the input as a crash-* file.
    std::abort();
}

}  // namespace codeeingabe::fuzz

// Works with NDEBUG too, unlike assert; detail is built only on failure.
#define FUZZ_CHECK(condition, detail)                                                  \
    do {                                                                               \
        if (!(condition)) ::codeeingabe::fuzz::Fail(#condition, __FILE__, __LINE__, (detail)); \
    } while (0)
