#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_path.h"

namespace codeeingabe {

// The values every window shares: set by start-up before any window exists, owned by it and
// handed to the windows that read or change them.
struct ProcessValues {
    FilePath moduleFolder;  // without a trailing backslash
    std::int16_t creditsPerCode = 2;
    std::string masterCode;  // exactly as read or saved

    // A file of the module folder: the folder, a backslash and the name.
    FilePath ModuleFile(std::string_view name) const;
    FilePath CodeListFile() const;
};

}  // namespace codeeingabe
