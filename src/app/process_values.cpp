#include "app/process_values.h"

namespace codeeingabe {

FilePath ModuleFolder;
std::int16_t CreditsPerCode = 2;
std::string MasterCode;
std::uint8_t WrongEntryCount = 0;

// The names are ASCII constants: widened char by char.
FilePath ModuleFile(std::string_view name) {
#ifdef _WIN32
    constexpr FilePath::value_type kSeparator = L'\\';
#else
    constexpr FilePath::value_type kSeparator = '/';
#endif
    FilePath file = ModuleFolder;
    if (!file.empty() && file.back() != kSeparator && file.back() != '/') file += kSeparator;
    file.append(name.begin(), name.end());
    return file;
}

}  // namespace codeeingabe
