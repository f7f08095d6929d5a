// Input: the text typed into a settings box.
//
// Properties: blanks and tabs around the text never change the verdict, in any format; the English
// verdict is a regular expression's (sign, digits grouped by "," only between digits of the whole
// part, at most one ".", an optional exponent); the German verdict, and that of a format grouping
// with a non-breaking space, are the English and German ones of the text with the separators swapped.

// A broken property aborts in every build type, and libFuzzer keeps the input.
#undef NDEBUG
#include <cassert>

#include "codelist/numeric_text.h"

#include <cstdint>
#include <regex>
#include <string>

namespace {

using namespace codeeingabe;

const NumberFormat kGerman{",", "."}, kEnglish{".", ","}, kSpaceGrouped{",", "\xA0"};
const NumberFormat kFormats[] = {kGerman, kEnglish, kSpaceGrouped, {",", "\xC2\xA0"}, {".", "."}, {".", ""}};

std::string Swapped(std::string text, char a, char b) {
    for (char& c : text) c = c == a ? b : c == b ? a : c;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string padded = std::string(size % 3, ' ') + "\t" + text + std::string(size % 2, '\t') + " ";
    for (const NumberFormat& format : kFormats) assert(IsNumericText(padded, format) == IsNumericText(text, format));

    // Short texts only: the regex engine recurses once per character.
    static const std::regex english(R"([ \t]*[+-]?([0-9]+(,[0-9]+)*(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?[ \t]*)");
    if (size < 200) assert(IsNumericText(text, kEnglish) == std::regex_match(text, english));
    assert(IsNumericText(text, kGerman) == IsNumericText(Swapped(text, '.', ','), kEnglish));
    assert(IsNumericText(text, kSpaceGrouped) == IsNumericText(Swapped(text, '\xA0', '.'), kGerman));
    return 0;
}
