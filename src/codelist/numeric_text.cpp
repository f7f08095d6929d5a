#include "codelist/numeric_text.h"

namespace codeeingabe {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsSignChar(char c) { return c == '+' || c == '-'; }

}  // namespace

bool IsNumericText(std::string_view text, const NumberFormat& format) {
    text = TrimBlanks(text);
    const std::string_view decimal = format.decimal_separator;
    // A locale using one separator for both can only mean the decimal one.
    const std::string_view grouping =
        format.grouping_separator == format.decimal_separator ? std::string_view{} : format.grouping_separator;

    std::size_t pos = 0;
    if (pos < text.size() && IsSignChar(text[pos])) {
        ++pos;
    }

    bool hasDigit = false;
    bool afterDigit = false;
    bool afterDecimal = false;
    while (pos < text.size()) {
        const std::string_view rest = text.substr(pos);
        if (IsDigit(rest.front())) {
            ++pos;
            hasDigit = true;
            afterDigit = true;
        } else if (!afterDecimal && !decimal.empty() && rest.starts_with(decimal)) {
            pos += decimal.size();
            afterDecimal = true;
            afterDigit = false;
        } else if (!afterDecimal && afterDigit && !grouping.empty() && rest.starts_with(grouping) &&
                   rest.size() > grouping.size() && IsDigit(rest[grouping.size()])) {
            pos += grouping.size();
            afterDigit = false;
        } else {
            break;
        }
    }
    if (!hasDigit) {
        return false;
    }

    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        ++pos;
        if (pos < text.size() && IsSignChar(text[pos])) {
            ++pos;
        }
        const std::size_t exponentStart = pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
        }
        if (pos == exponentStart) {
            return false;
        }
    }
    return pos == text.size();
}

}  // namespace codeeingabe
