#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_path.h"

namespace codeeingabe {

// What follows the program's name on its command line, without the blanks that separate it from
// the name; other blanks are kept ("/Mod " stays "/Mod ").
std::wstring ArgumentText(std::wstring_view commandLine);

// Only exactly "/Mod", case and blanks included, starts host mode.
bool IsHostMode(std::wstring_view argumentText);

struct Settings {
    std::int16_t creditsPerCode;
    std::string masterCode;
};

// The two settings from the code list file with their defaults (2 and empty). A credits text whose
// whole number does not fit 16 bits gives 0 credits: no code is worth an amount nobody set.
Settings ReadSettings(const FilePath& codeListFile);

}  // namespace codeeingabe
