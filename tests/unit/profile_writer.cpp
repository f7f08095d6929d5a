// Writes a profile file on behalf of the tests:
//   profile_writer keys FILE FIRST COUNT VALUE   writes COUNT five-digit keys from FIRST, then ends
//   profile_writer flip FILE                      rewrites one long value without end, for killing
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/profile.h"

namespace {

std::string FiveDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%05d", number);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "keys" && argc == 6) {
        const int first = std::atoi(argv[3]);
        const int count = std::atoi(argv[4]);
        int failures = 0;
        for (int i = first; i < first + count; ++i) {
            if (!codeeingabe::WriteProfile(std::filesystem::path(argv[2]), "Codes", FiveDigits(i), argv[5])) ++failures;
        }
        return failures == 0 ? 0 : 1;
    }
    if (mode == "flip" && argc == 3) {
        for (long turn = 0;; ++turn) {
            const std::string value(200000, turn % 2 == 0 ? 'A' : 'B');
            codeeingabe::WriteProfile(std::filesystem::path(argv[2]), "Codes", "12345", value);
        }
    }
    std::fprintf(stderr, "usage: profile_writer keys FILE FIRST COUNT VALUE | flip FILE\n");
    return 2;
}
