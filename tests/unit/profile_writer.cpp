// Writes a profile file on behalf of the tests:
//   profile_writer keys FILE FIRST COUNT VALUE   writes COUNT five-digit keys from FIRST, then ends
//   profile_writer flip FILE                      rewrites one long value without end, for killing
#include <filesystem>
#include <string>

#include "platform/profile.h"

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    const std::filesystem::path file = argc > 2 ? argv[2] : "";
    if (mode == "keys" && argc == 6) {
        for (int i = std::stoi(argv[3]), end = i + std::stoi(argv[4]); i < end; ++i) {
            const std::string digits = std::to_string(i);
            codeeingabe::WriteProfile(file, "Codes", std::string(5 - digits.size(), '0') + digits, argv[5]);
        }
        return 0;
    }
    for (long turn = 0; mode == "flip"; ++turn) {
        codeeingabe::WriteProfile(file, "Codes", "12345", std::string(200000, turn % 2 == 0 ? 'A' : 'B'));
    }
    return 2;
}
