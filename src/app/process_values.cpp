#include "app/process_values.h"

namespace codeeingabe {

std::filesystem::path ModuleFolder;
std::int16_t CreditsPerCode = 2;
std::string MasterCode;
std::uint8_t WrongEntryCount = 0;

std::filesystem::path ModuleFile(std::string_view name) { return ModuleFolder / std::filesystem::path(name); }

}  // namespace codeeingabe
