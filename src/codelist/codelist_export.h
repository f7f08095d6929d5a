#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace codeeingabe {

// Number text of line i of m: zero-padded to as many digits as m - 1 has,
// so the last number can be one digit wider than the others (m = 1000).
std::string ExportNumber(std::size_t i, std::size_t m);

// The bytes of the numbered export of the codes section entries.
std::string CodeListExportText(const std::vector<std::string>& sectionEntries);

}  // namespace codeeingabe
