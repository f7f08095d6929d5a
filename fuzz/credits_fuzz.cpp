// Input: the text as typed or stored.
//
// Properties: LeadingNumber is never NaN; it agrees with a reference reading (the longest prefix
// of sign, digits, "." fraction and E/D exponent, read by strtod; short "&H"/"&O" numbers read
// exactly); blanks, tabs and line feeds put anywhere change nothing; CreditsFromText is the
// half-to-even rounding of LeadingNumber where that fits int16, and nullopt exactly elsewhere.
#include "codelist/credits_from_text.h"

#include "fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using codeeingabe::CreditsFromText;
using codeeingabe::LeadingNumber;
using codeeingabe::fuzz::Escaped;

bool Ignorable(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

std::string WithoutIgnorables(std::string_view text) {
    std::string s;
    for (const char c : text) {
        if (!Ignorable(c)) s += c;
    }
    return s;
}

// The same text with blanks, tabs and line feeds put between characters, chosen by the bytes
// themselves so that the fuzzer can steer where they go.
std::string Spread(std::string_view text) {
    static constexpr char kFill[] = {' ', '\t', '\n'};
    std::string s = "\t";
    for (std::size_t i = 0; i < text.size(); ++i) {
        s += text[i];
        const auto u = static_cast<unsigned char>(text[i]);
        if ((u + i) % 3 == 0) s += kFill[(u >> 2) % 3];
        if ((u + i) % 7 == 0) s += "  \n";
    }
    s += ' ';
    return s;
}

// Hex or octal digits after "&H"/"&O", when few enough to be exact in a double.
std::optional<double> ReferenceRadix(std::string_view digits, int base, std::size_t exactDigits) {
    double value = 0;
    std::size_t count = 0;
    for (const char c : digits) {
        int d = -1;
        if (Digit(c)) d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || d >= base) break;
        if (++count > exactDigits) return std::nullopt;
        value = value * base + d;
    }
    return value;
}

std::optional<double> ReferenceNumber(std::string_view text) {
    const std::string s = WithoutIgnorables(text);
    const std::string_view radixDigits = s.size() >= 2 ? std::string_view(s).substr(2) : std::string_view{};
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) return ReferenceRadix(radixDigits, 16, 13);
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'O' || s[1] == 'o')) return ReferenceRadix(radixDigits, 8, 17);

    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    std::size_t digits = 0;
    auto takeDigits = [&] {
        for (; i < s.size() && Digit(s[i]); ++i, ++digits) number += s[i];
    };
    takeDigits();
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        takeDigits();
    }
    if (digits == 0) return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        const std::size_t start = j;
        while (j < s.size() && Digit(s[j])) exponent += s[j++];
        if (j > start) number += exponent;
    }
    // The fuzzer runs in the "C" locale, so strtod reads "." as the decimal point.
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string detail = "text \"" + Escaped(text) + "\"";

    const double number = LeadingNumber(text);
    FUZZ_CHECK(!std::isnan(number), detail);

    if (const auto reference = ReferenceNumber(text)) {
        FUZZ_CHECK(number == *reference, detail + " read " + std::to_string(number) + " expected " + std::to_string(*reference));
    }

    const std::string spread = Spread(text);
    FUZZ_CHECK(LeadingNumber(spread) == number, detail + " spread \"" + Escaped(spread) + "\"");
    FUZZ_CHECK(LeadingNumber(WithoutIgnorables(text)) == number, detail);

    // nearbyint rounds half to even in the default rounding mode, which the fuzzer keeps.
    const double rounded = std::nearbyint(number);
    const std::optional<std::int16_t> credits = CreditsFromText(text);
    if (std::isfinite(rounded) && rounded >= -32768.0 && rounded <= 32767.0) {
        FUZZ_CHECK(credits.has_value() && *credits == rounded, detail + " rounded " + std::to_string(rounded));
    } else {
        FUZZ_CHECK(!credits.has_value(), detail + " gave " + std::to_string(credits.value_or(0)));
    }
    FUZZ_CHECK(CreditsFromText(spread) == credits, detail);
    return 0;
}
