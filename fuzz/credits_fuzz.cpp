// Input: the text as typed or stored.
//
// Properties: LeadingNumber is never NaN and agrees with a reference reading (the longest prefix
// of sign, digits, "." fraction and E/D exponent, read by strtod; short "&H"/"&O" numbers read
// exactly); blanks, tabs and line feeds put anywhere change nothing; CreditsFromText is the
// half-to-even rounding of LeadingNumber where that fits int16, and nullopt exactly elsewhere.

// A broken property aborts in every build type, and libFuzzer keeps the input.
#undef NDEBUG
#include <cassert>

#include "codelist/credits_from_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

using namespace codeeingabe;

// nullopt for "&H"/"&O" numbers too long to be exact in a double.
std::optional<double> Reference(const std::string& s) {
    static const std::regex hex("&[Hh]([0-9A-Fa-f]{0,13})(?![0-9A-Fa-f])"), octal("&[Oo]([0-7]{0,17})(?![0-7])"),
        radix("&[HhOo].*"), decimal(R"([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([EeDd][+-]?[0-9]+)?)");
    std::smatch m;
    const auto starts = [&](const std::regex& r) {
        return std::regex_search(s, m, r, std::regex_constants::match_continuous);
    };
    if (starts(hex)) return m[1].length() ? static_cast<double>(std::stoull(m[1], nullptr, 16)) : 0.0;
    if (starts(octal)) return m[1].length() ? static_cast<double>(std::stoull(m[1], nullptr, 8)) : 0.0;
    if (starts(radix)) return std::nullopt;
    if (!starts(decimal)) return 0.0;
    std::string number = m.str();
    for (char& c : number) c = c == 'D' || c == 'd' ? 'e' : c;
    // The fuzzer runs in the "C" locale, so strtod reads "." as the decimal point.
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string bare, spread = "\t";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n') bare += text[i];
        spread += text[i];
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte + i) % 3 == 0) spread += " \n\t"[byte % 3];
    }
    const double number = LeadingNumber(text);
    assert(!std::isnan(number));
    // Short texts only: the regex engine recurses once per character.
    const std::optional<double> reference = size < 200 ? Reference(bare) : std::nullopt;
    assert(!reference || number == *reference);
    assert(LeadingNumber(spread + ' ') == number && LeadingNumber(bare) == number);

    // nearbyint rounds half to even in the default rounding mode, which the fuzzer keeps.
    const double rounded = std::nearbyint(number);
    const std::optional<std::int16_t> credits = CreditsFromText(text);
    const bool fits = rounded >= -32768 && rounded <= 32767;
    assert(fits ? credits == static_cast<std::int16_t>(rounded) : !credits);
    return 0;
}
