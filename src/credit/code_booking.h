#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_path.h"

namespace codeeingabe {

// The state of a code in the code list: "UNUSED", "USED", or "00000" when the list (or the file)
// has no such code; nullopt when the list exists but cannot be read.
std::optional<std::string> CodeState(const FilePath& codeList, std::string_view code);

// Books a code as "USED", and is true only once the list on the disk holds it so: only a booking
// that stands may give credit, so a list that cannot be written never pays the same code twice.
// The code must still be "UNUSED" when the booking writes: a code that a new list (generated
// meanwhile in the settings) no longer holds is not booked, and the new list gets no line for it.
bool BookCodeUsed(const FilePath& codeList, std::string_view code);

// Gives a booked code back ("UNUSED") when its credit could not reach the host.
bool ReturnCode(const FilePath& codeList, std::string_view code);

}  // namespace codeeingabe
