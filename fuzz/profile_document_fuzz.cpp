// Input: section NUL key NUL value NUL document bytes; with fewer than three NULs the whole input
// is the document and the edit a booking ("Codes", "00123", "USED").
//
// Properties: unedited bytes come back; SetValue refuses exactly the names and values that would
// break the file, and then changes nothing; after a write the key reads back as the value, writing
// it again changes nothing, and the bytes the edit removed lie within one line, so every other line
// stays as it was.

// A broken property aborts in every build type, and libFuzzer keeps the input.
#undef NDEBUG
#include <algorithm>
#include <cassert>
#include <cstdint>

#include "platform/profile_document.h"

using namespace codeeingabe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string parts[4] = {"Codes", "00123", "USED", input};
    for (std::size_t part = 0, start = 0; part < 4 && std::count(input.begin(), input.end(), '\0') >= 3; ++part) {
        const std::size_t stop = part < 3 ? input.find('\0', start) : input.size();
        parts[part] = input.substr(start, stop - start);
        start = stop + 1;
    }
    const auto& [section, key, value, before] = parts;
    ProfileDocument edited(before);
    assert(edited.Bytes() == before);
    const bool written = edited.SetValue(section, key, value);
    const std::string after = edited.Bytes();
    const std::size_t first = key.find_first_not_of(" \t");
    const std::string bare = first == key.npos ? "" : key.substr(first, key.find_last_not_of(" \t") - first + 1);
    assert(written == ((section + key + value).find_first_of("\r\n") == key.npos && bare.find('=') == key.npos &&
                       section.find(']') == key.npos && !bare.starts_with('[') && !bare.starts_with(';')));
    if (!written || bare.empty()) {
        assert(after == before);
        return 0;
    }
    assert(ProfileValue(after, section, key) == std::string(ValueAsRead(value)));
    ProfileDocument twice(after);
    assert(twice.SetValue(section, key, value) && twice.Bytes() == after);
    std::size_t prefix = 0, suffix = 0;
    while (prefix < std::min(before.size(), after.size()) && before[prefix] == after[prefix]) ++prefix;
    while (suffix < std::min(before.size(), after.size()) - prefix && before.rbegin()[suffix] == after.rbegin()[suffix])
        ++suffix;
    assert(before.substr(prefix, before.size() - prefix - suffix).find_first_of("\r\n") == before.npos);
    return 0;
}
