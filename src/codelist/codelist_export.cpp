#include "codelist/codelist_export.h"

#include <array>
#include <charconv>
#include <string_view>

#include "codelist/codelist_file.h"
#include "platform/get_field.h"

namespace codeeingabe {

namespace {

constexpr std::string_view kExportHeading = "CodeNr.: \tCode:\r\n\r\n";

std::string DecimalText(std::size_t value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string ExportNumber(std::size_t i, std::size_t m) {
    // With m = 0 no line is numbered; width 1 keeps the call harmless.
    const std::size_t width = m == 0 ? 1 : DecimalText(m - 1).size();
    std::string number = DecimalText(i);
    if (number.size() < width) {
        number.insert(0, width - number.size(), '0');
    }
    return number;
}

std::string CodeListExportText(const std::vector<std::string>& sectionEntries) {
    const std::size_t m = sectionEntries.size();
    std::string text(kExportHeading);
    for (std::size_t i = 1; i <= m; ++i) {
        text.append(ExportNumber(i, m));
        text.append(":\t\t");
        text.append(GetField(sectionEntries[i - 1], 1, kKeySeparator));
        text.append(kLineEnd);
    }
    return text;
}

}  // namespace codeeingabe
