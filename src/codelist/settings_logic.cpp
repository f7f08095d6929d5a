#include "codelist/settings_logic.h"

#include "codelist/codelist_file.h"
#include "codelist/credits_from_text.h"
#include "platform/profile_document.h"

namespace codeeingabe {

SettingsCheck CheckSettings(std::string_view creditsText, std::string_view masterCodeText, const NumberFormat& format,
                            std::string_view codeList) {
    const std::optional<std::int16_t> credits = CreditsFromText(creditsText);
    if (!IsNumericText(creditsText, format) || !credits) return {SettingsVerdict::creditsNotNumeric, 0};
    if (!IsNumericText(masterCodeText, format)) return {SettingsVerdict::masterCodeNotNumeric, 0};
    const bool typeable =
        masterCodeText.size() == 5 && masterCodeText.find_first_not_of("0123456789") == std::string_view::npos;
    if (typeable && ProfileValue(codeList, kCodesSection, masterCodeText)) return {SettingsVerdict::masterCodeListed, 0};
    return {SettingsVerdict::saved, *credits};
}

}  // namespace codeeingabe
