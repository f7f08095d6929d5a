#include "codelist/settings_logic.h"

#include "codelist/credits_from_text.h"

namespace codeeingabe {

SettingsCheck CheckSettings(std::string_view creditsText, std::string_view masterCodeText, const NumberFormat& format) {
    const std::optional<std::int16_t> credits = CreditsFromText(creditsText);
    if (!IsNumericText(creditsText, format) || !credits) return {SettingsVerdict::creditsNotNumeric, 0};
    if (!IsNumericText(masterCodeText, format)) return {SettingsVerdict::masterCodeNotNumeric, 0};
    return {SettingsVerdict::saved, *credits};
}

}  // namespace codeeingabe
