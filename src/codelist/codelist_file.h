#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codeeingabe {

inline constexpr std::string_view kCodeListFileName = "Codelist.ini";
inline constexpr std::string_view kCodeListExportFileName = "Codelist.txt";
inline constexpr std::string_view kModuleFileName = "Module.ini";

inline constexpr std::string_view kSettingsSection = "Einstellungen";
inline constexpr std::string_view kCodesSection = "Codes";
inline constexpr std::string_view kCreditsPerCodeKey = "CreditsPerCode";
inline constexpr std::string_view kMasterCodeKey = "MasterCode";

inline constexpr std::string_view kUnused = "UNUSED";
inline constexpr std::string_view kUsed = "USED";
// What a code lookup yields when the code has no entry: no code state.
inline constexpr std::string_view kMissingCodeState = "00000";

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kKeySeparator = "=";

// Lines 1-5 of the file: settings section, blank line, "[Codes]" heading.
std::string CodeListHeading(std::int16_t creditsPerCode, std::string_view masterCode);

// One fresh entry of the codes section, e.g. "12345=UNUSED\r\n".
std::string CodeListLine(std::string_view code);

// Entries of the codes section still free, i.e. whose value (field 2 when split at "=", whatever
// follows a further "=") reads as "UNUSED" the way a code lookup reads it.
std::size_t CountFreeCodes(const std::vector<std::string>& sectionEntries);

}  // namespace codeeingabe
