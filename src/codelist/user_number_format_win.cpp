#include "codelist/user_number_format_win.h"

#include <windows.h>

#include "ui/ansi_text.h"

namespace codeeingabe {
namespace {

std::string UserLocaleText(LCTYPE item) {
    // The longest separator the system allows is three characters and the NUL.
    wchar_t text[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, text, 8) == 0) return {};
    return ToAnsi(text);
}

}  // namespace

NumberFormat UserNumberFormat() { return NumberFormat{UserLocaleText(LOCALE_SDECIMAL), UserLocaleText(LOCALE_STHOUSAND)}; }

}  // namespace codeeingabe
