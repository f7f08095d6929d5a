#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_path.h"

namespace codeeingabe {

// The process-wide values: set by start-up before any window exists, read by every window.
extern FilePath ModuleFolder;  // without a trailing backslash
extern std::int16_t CreditsPerCode;
extern std::string MasterCode;        // exactly as read or saved
extern std::uint8_t WrongEntryCount;  // wrong five-digit entries since the last accepted one

// A file of the module folder: the folder, a backslash and the name.
FilePath ModuleFile(std::string_view name);

}  // namespace codeeingabe
