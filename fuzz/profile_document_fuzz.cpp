// Input: section NUL key NUL value NUL document bytes; with fewer than three NULs the whole input
// is the document and the edit a booking ("Codes", "00123", "USED").
//
// Properties: unedited bytes come back; SetValue refuses exactly the names and values that would
// break the file, and then changes nothing; after a write the key reads back as the value, writing
// it again changes nothing, and only the lines around the edit differ (the changed line, or the new
// line and a new header, and a last line that gains its line end); the section's lines are whole,
// non-blank and found by ProfileValue; SetValues for many keys (the key's pieces between \x01 bytes
// and the section's own keys) equals one SetValue per key.

// A broken property aborts in every build type, and libFuzzer keeps the input.
#undef NDEBUG
#include <cassert>

#include "platform/profile_document.h"

#include <cstdint>

#include "platform/get_field.h"

namespace {

using namespace codeeingabe;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The lines with their ends, read independently of the code under test.
std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        line += bytes[i];
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') line += bytes[++i];
        if (line.back() == '\r' || line.back() == '\n') {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view section = "Codes", key = "00123", value = "USED", document = input;
    const std::size_t a = input.find('\0'), b = input.find('\0', a + 1), c = input.find('\0', b + 1);
    if (a != input.npos && b != input.npos && c != input.npos) {
        section = input.substr(0, a);
        key = input.substr(a + 1, b - a - 1);
        value = input.substr(b + 1, c - b - 1);
        document = input.substr(c + 1);
    }
    const std::string before(document);
    assert(ProfileDocument(before).Bytes() == before);

    std::vector<std::string> keys;
    for (std::size_t start = 0, stop = 0; stop != key.npos; start = stop + 1) {
        stop = key.find('\x01', start);
        keys.emplace_back(key.substr(start, stop - start));
    }
    for (const std::string& line : ProfileSectionLines(before, section)) {
        assert(!Trim(line).empty() && line.find_first_of("\r\n") == line.npos);
        const std::string lineKey = GetField(line, 1, "=");
        assert(line.find('=') == line.npos || ProfileValue(before, section, lineKey).has_value());
        if (keys.size() < 64) keys.push_back(lineKey);
    }
    ProfileDocument oneByOne(before), atOnce(before);
    bool allSet = true;
    for (const std::string& k : keys) allSet = oneByOne.SetValue(section, k, value) && allSet;
    assert(atOnce.SetValues(section, keys, value) == allSet);
    assert(atOnce.Bytes() == oneByOne.Bytes());

    ProfileDocument edited(before);
    const bool written = edited.SetValue(section, key, value);
    const std::string after = edited.Bytes();
    const std::string_view trimmedKey = Trim(key);
    const bool breaks = (std::string(section) + std::string(key) + std::string(value)).find_first_of("\r\n") != key.npos ||
                        trimmedKey.find('=') != key.npos || section.find(']') != key.npos || trimmedKey.starts_with('[') ||
                        trimmedKey.starts_with(';');
    assert(written == !breaks);
    if (!written || trimmedKey.empty()) {
        assert(after == before);
        return 0;
    }
    assert(ProfileValue(after, section, key) == std::string(ValueAsRead(value)));
    ProfileDocument twice(after);
    assert(twice.SetValue(section, key, value) && twice.Bytes() == after);

    const std::vector<std::string> old = Lines(before), now = Lines(after);
    std::size_t prefix = 0, suffix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) {
        ++suffix;
    }
    assert(old.size() - prefix - suffix <= 1 && now.size() - prefix - suffix <= 3);
    return 0;
}
