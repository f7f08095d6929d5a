#pragma once

#include "platform/file_path.h"
#include <string>
#include <string_view>

namespace codeeingabe {

// The state of a code in the code list: "UNUSED", "USED", or "00000" when the list (or the file)
// has no such code.
std::string CodeState(const FilePath& codeList, std::string_view code);

// Books a code as "USED" and confirms the booking by reading it back: only a confirmed booking
// may give credit, so a list that cannot be written never pays the same code twice.
bool BookCodeUsed(const FilePath& codeList, std::string_view code);

// Gives a booked code back ("UNUSED") when its credit could not reach the host.
bool ReturnCode(const FilePath& codeList, std::string_view code);

}  // namespace codeeingabe
