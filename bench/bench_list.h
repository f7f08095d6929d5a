#pragma once

#include <cstdio>
#include <string>

// Code lists for the benchmarks.
namespace bench {

// A code as the list holds it: five digits, leading zeros kept.
inline std::string FiveDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%05d", number);
    return text;
}

// The profile benchmarks' list: 1000 free codes spread over the whole range, in generation's form.
inline std::string ProfileListCode(int index) { return FiveDigits(index * 97 % 100000); }

inline std::string ProfileListBytes() {
    std::string bytes = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n";
    for (int i = 0; i < 1000; ++i) bytes += ProfileListCode(i) + "=UNUSED\r\n";
    return bytes;
}

}  // namespace bench
