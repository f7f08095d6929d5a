// Input: a command line, one byte a character (Latin-1), except that 0xFF takes the next two
// bytes as one UTF-16 unit, so that characters beyond Latin-1 occur too.
//
// Properties: the argument text is a suffix of the command line and starts with no blank or tab;
// what it drops is the program name (up to the closing quote when it starts with one, else up
// to the first blank or tab) and the blanks and tabs after it; behind a known program name and a
// blank, any text comes back with only its leading blanks and tabs removed.
#include "app/startup.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using codeeingabe::ArgumentText;
using codeeingabe::IsHostMode;

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Decode(const std::uint8_t* data, std::size_t size) {
    std::wstring s;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            s += static_cast<wchar_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        } else {
            s += static_cast<wchar_t>(data[i]);
        }
    }
    return s;
}

std::string Describe(std::wstring_view s) {
    std::string out;
    for (const wchar_t c : s) {
        if (c >= 0x20 && c < 0x7F && c != L'\\' && c != L'"') {
            out += static_cast<char>(c);
        } else {
            out += "\\u" + std::to_string(static_cast<unsigned>(c)) + ";";
        }
    }
    return out;
}

std::wstring_view WithoutLeadingBlanks(std::wstring_view s) {
    while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring commandLine = Decode(data, size);
    const std::string detail = "command line \"" + Describe(commandLine) + "\"";

    const std::wstring argument = ArgumentText(commandLine);
    FUZZ_CHECK(argument.size() <= commandLine.size(), detail);
    FUZZ_CHECK(std::wstring_view(commandLine).ends_with(argument), detail);
    FUZZ_CHECK(argument.empty() || !Blank(argument.front()), detail);

    std::wstring_view name = std::wstring_view(commandLine).substr(0, commandLine.size() - argument.size());
    const std::size_t nameLength = name.size();
    while (!name.empty() && Blank(name.back())) name.remove_suffix(1);
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        if (close == std::wstring::npos) {
            FUZZ_CHECK(argument.empty(), detail);
        } else {
            FUZZ_CHECK(name.size() == close + 1, detail);
        }
    } else {
        FUZZ_CHECK(name.find_first_of(L" \t") == std::wstring_view::npos, detail);
        // An unquoted name ends only at a blank or at the end of the line.
        FUZZ_CHECK(argument.empty() || name.size() < nameLength, detail);
    }

    const std::wstring_view programs[] = {L"Codelist.exe", L"\"C:\\Program Files\\Jukebox\\Codelist.exe\""};
    for (const std::wstring_view program : programs) {
        const std::wstring line = std::wstring(program) + L" " + commandLine;
        const std::wstring expected(WithoutLeadingBlanks(commandLine));
        const std::wstring got = ArgumentText(line);
        FUZZ_CHECK(got == expected, "\"" + Describe(line) + "\" gave \"" + Describe(got) + "\"");
        FUZZ_CHECK(IsHostMode(got) == (expected == L"/Mod"), detail);
    }
    return 0;
}
