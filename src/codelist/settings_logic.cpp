#include "codelist/settings_logic.h"

#include "app/credits_from_text.h"
#include "codelist/codelist_file.h"
#include "platform/get_field.h"

namespace codeeingabe {

SettingsCheck CheckSettings(std::string_view creditsText, std::string_view masterCodeText, const NumberFormat& format) {
    const std::optional<std::int16_t> credits = CreditsFromText(creditsText);
    if (!IsNumericText(creditsText, format) || !credits) return {SettingsVerdict::creditsNotNumeric, 0};
    if (!IsNumericText(masterCodeText, format)) return {SettingsVerdict::masterCodeNotNumeric, 0};
    return {SettingsVerdict::saved, *credits};
}

std::vector<std::string> CodesOfEntries(const std::vector<std::string>& sectionEntries) {
    std::vector<std::string> codes;
    codes.reserve(sectionEntries.size());
    for (const std::string& entry : sectionEntries) codes.push_back(GetField(entry, 1, kKeySeparator));
    return codes;
}

}  // namespace codeeingabe
