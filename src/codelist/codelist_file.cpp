#include "codelist/codelist_file.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/get_field.h"
#include "platform/profile_document.h"

namespace codeeingabe {

namespace {

// to_chars, not streams: the file must not depend on the user's locale.
std::string DecimalText(std::int16_t value) {
    std::array<char, 8> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string SectionLine(std::string_view section) {
    std::string line = "[";
    line.append(section);
    line.append("]");
    line.append(kLineEnd);
    return line;
}

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line.append(kKeySeparator);
    line.append(value);
    line.append(kLineEnd);
    return line;
}

}  // namespace

std::string CodeListHeading(std::int16_t creditsPerCode, std::string_view masterCode) {
    std::string heading = SectionLine(kSettingsSection);
    heading.append(KeyLine(kCreditsPerCodeKey, DecimalText(creditsPerCode)));
    heading.append(KeyLine(kMasterCodeKey, masterCode));
    heading.append(kLineEnd);
    heading.append(SectionLine(kCodesSection));
    return heading;
}

std::string CodeListLine(std::string_view code) { return KeyLine(code, kUnused); }

std::size_t CountFreeCodes(const std::vector<std::string>& sectionEntries) {
    return static_cast<std::size_t>(
        std::count_if(sectionEntries.begin(), sectionEntries.end(),
                      [](const std::string& entry) { return ValueAsRead(GetField(entry, 2, kKeySeparator)) == kUnused; }));
}

}  // namespace codeeingabe
