// Input: the text typed into a settings box.
//
// Properties, under German, English, non-breaking-space (one byte and UTF-8) and degenerate
// formats: blanks and tabs around the text never change the verdict; a text that passes has its
// grouping separators only between digits of the whole part and, with them removed and its
// decimal separator made ".", is a complete number by a reference check; without grouping
// separators the English verdict is exactly the reference's; the German and non-breaking-space
// verdicts are the English and German ones of the text with the separators swapped.
#include "codelist/numeric_text.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using codeeingabe::IsNumericText;
using codeeingabe::NumberFormat;
using codeeingabe::fuzz::Escaped;

const NumberFormat kGerman{",", "."};
const NumberFormat kEnglish{".", ","};
const NumberFormat kSpaceGrouped{",", "\xA0"};
const NumberFormat kUtf8SpaceGrouped{",", "\xC2\xA0"};
const NumberFormat kSameSeparators{".", "."};
const NumberFormat kNoGrouping{".", ""};
const NumberFormat* const kFormats[] = {&kGerman, &kEnglish, &kSpaceGrouped, &kUtf8SpaceGrouped, &kSameSeparators, &kNoGrouping};

bool Digit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Sign, digits with at most one "." and at least one digit, then an optional exponent; nothing else.
bool ReferenceIsNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    for (; i < s.size() && Digit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && Digit(s[i]); ++i) ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        const std::size_t start = i;
        while (i < s.size() && Digit(s[i])) ++i;
        if (i == start) return false;
    }
    return i == s.size();
}

std::string Swapped(std::string_view text, char a, char b) {
    std::string s(text);
    for (char& c : s) {
        if (c == a) {
            c = b;
        } else if (c == b) {
            c = a;
        }
    }
    return s;
}

// The text in English form without grouping; fails the run when a grouping separator does not
// stand between two digits of the whole part.
std::string Canonical(std::string_view text, const NumberFormat& format, const std::string& detail) {
    const std::string_view decimal = format.decimal_separator;
    const std::string_view grouping =
        format.grouping_separator == format.decimal_separator ? std::string_view{} : std::string_view(format.grouping_separator);
    std::string out;
    bool afterDecimal = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        if (!decimal.empty() && rest.starts_with(decimal)) {
            out += '.';
            i += decimal.size();
            afterDecimal = true;
        } else if (!grouping.empty() && rest.starts_with(grouping)) {
            FUZZ_CHECK(!afterDecimal, detail);
            FUZZ_CHECK(!out.empty() && Digit(out.back()), detail);
            i += grouping.size();
            FUZZ_CHECK(i < text.size() && Digit(text[i]), detail);
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string padded = std::string(size % 3, ' ') + "\t" + std::string(text) + std::string(size % 2, '\t') + " ";

    for (const NumberFormat* format : kFormats) {
        const std::string detail = "text \"" + Escaped(text) + "\" decimal \"" + Escaped(format->decimal_separator) +
                                   "\" grouping \"" + Escaped(format->grouping_separator) + "\"";
        const bool numeric = IsNumericText(text, *format);
        FUZZ_CHECK(IsNumericText(padded, *format) == numeric, detail);
        if (numeric) {
            const std::string canonical = Canonical(Trim(text), *format, detail);
            FUZZ_CHECK(ReferenceIsNumber(canonical), detail + " canonical \"" + Escaped(canonical) + "\"");
        }
    }

    const std::string detail = "text \"" + Escaped(text) + "\"";
    if (text.find(',') == std::string_view::npos) {
        FUZZ_CHECK(IsNumericText(text, kEnglish) == ReferenceIsNumber(Trim(text)), detail);
    }
    FUZZ_CHECK(IsNumericText(text, kGerman) == IsNumericText(Swapped(text, '.', ','), kEnglish), detail);
    FUZZ_CHECK(IsNumericText(text, kSpaceGrouped) == IsNumericText(Swapped(text, '\xA0', '.'), kGerman), detail);
    return 0;
}
