#include "codelist/credits_from_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace codeeingabe {

namespace {

// Far beyond the double range (about 1e308 and 5e-324), so anything past it
// can be decided without asking the parser.
constexpr std::int64_t kExponentLimit = 400;
// Clamp while accumulating so neither a long digit run nor a long exponent
// can overflow the integer arithmetic.
constexpr std::int64_t kSaturation = 1'000'000'000;

bool IsIgnorable(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) { return std::clamp(a + b, -kSaturation, kSaturation); }

std::int64_t SaturatingCount(std::size_t n) { return static_cast<std::int64_t>(std::min<std::size_t>(n, kSaturation)); }

std::string WithoutIgnorables(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (!IsIgnorable(c)) {
            result.push_back(c);
        }
    }
    return result;
}

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Digits after "&H"/"&O". Accumulating in double runs into infinity on very
// long inputs rather than wrapping.
double RadixNumber(std::string_view digits, int base) {
    double value = 0.0;
    for (char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            break;
        }
        value = value * base + digit;
    }
    return value;
}

// Value is 0.<significant> * 10^exponent; significant has no leading zeros.
double ScaledDigits(const std::string& significant, std::int64_t exponent, bool negative) {
    const double sign = negative ? -1.0 : 1.0;
    if (significant.empty() || exponent < -kExponentLimit) {
        return sign * 0.0;
    }
    if (exponent > kExponentLimit) {
        return sign * std::numeric_limits<double>::infinity();
    }
    const std::string canonical = "0." + significant + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return sign * value;
}

double DecimalNumber(std::string_view s) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }

    const std::size_t integerStart = pos;
    while (pos < s.size() && IsDecimalDigit(s[pos])) {
        ++pos;
    }
    std::string_view integerPart = s.substr(integerStart, pos - integerStart);

    std::string_view fractionPart;
    if (pos < s.size() && s[pos] == '.') {
        const std::size_t fractionStart = ++pos;
        while (pos < s.size() && IsDecimalDigit(s[pos])) {
            ++pos;
        }
        fractionPart = s.substr(fractionStart, pos - fractionStart);
    }

    std::int64_t exponent = 0;
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e' || s[pos] == 'D' || s[pos] == 'd')) {
        std::size_t p = pos + 1;
        bool exponentNegative = false;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
            exponentNegative = s[p] == '-';
            ++p;
        }
        // Without digits the letter is not part of the number at all.
        while (p < s.size() && IsDecimalDigit(s[p])) {
            exponent = std::min(exponent * 10 + (s[p] - '0'), kSaturation);
            ++p;
        }
        if (exponentNegative) {
            exponent = -exponent;
        }
    }

    integerPart.remove_prefix(std::min(integerPart.find_first_not_of('0'), integerPart.size()));
    std::string significant;
    std::int64_t position = 0;
    if (!integerPart.empty()) {
        significant.reserve(integerPart.size() + fractionPart.size());
        significant.append(integerPart);
        significant.append(fractionPart);
        position = SaturatingCount(integerPart.size());
    } else {
        const std::size_t zeros = std::min(fractionPart.find_first_not_of('0'), fractionPart.size());
        significant.append(fractionPart.substr(zeros));
        position = -SaturatingCount(zeros);
    }
    return ScaledDigits(significant, SaturatingAdd(position, exponent), negative);
}

}  // namespace

// Done by hand: nearbyint would depend on the current rounding mode.
double RoundHalfToEven(double value) {
    double rounded = std::floor(value);
    const double rest = value - rounded;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
    return rounded;
}

double LeadingNumber(std::string_view text) {
    const std::string s = WithoutIgnorables(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') {
            return RadixNumber(std::string_view(s).substr(2), 16);
        }
        if (s[1] == 'O' || s[1] == 'o') {
            return RadixNumber(std::string_view(s).substr(2), 8);
        }
    }
    return DecimalNumber(s);
}

std::optional<std::int16_t> CreditsFromText(std::string_view text) {
    const double value = LeadingNumber(text);
    // Also rejects infinities before any conversion to an integer type.
    if (!(value >= -32768.5 && value <= 32767.5)) {
        return std::nullopt;
    }
    const double rounded = RoundHalfToEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace codeeingabe
