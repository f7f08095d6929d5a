// Input: section NUL key NUL value NUL document bytes. With fewer than three NULs the whole input
// is the document and the edit is a booking ("Codes", "00123", "USED").
//
// Properties: an unedited document gives back its bytes; SetValue refuses exactly the names and
// values that would break the file, and then changes nothing; after a write, a read finds the
// value, no other line changes (its line end included, except a final line without one that a
// new line follows), a new line follows the section's last non-blank line, a second write to the
// key in other case changes the same line, no other section or key reads differently, and the
// section's lines agree with what ProfileValue finds. SetValues for many keys (the key's pieces
// between \x01 bytes and the section's own keys) equals one SetValue per key, result included.
#include "platform/profile_document.h"

#include "fuzz_check.h"
#include "platform/get_field.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using codeeingabe::GetField;
using codeeingabe::ProfileDocument;
using codeeingabe::ProfileSectionLines;
using codeeingabe::ProfileValue;
using codeeingabe::fuzz::Escaped;

// Enough to reach every branch; more only slows the quadratic checks down.
constexpr std::size_t kMaxCheckedLines = 64;

struct Line {
    std::string text;
    std::string end;
    bool operator==(const Line&) const = default;
};

// An independent reading of the line structure, to compare against the one under test.
std::vector<Line> SplitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.push_back({text, "\r\n"});
            text.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            lines.push_back({text, std::string(1, c)});
            text.clear();
        } else {
            text += c;
        }
    }
    if (!text.empty()) lines.push_back({text, ""});
    return lines;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string SwapCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - ('a' - 'A'));
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return out;
}

bool HasBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::optional<std::string_view> HeaderOf(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::string_view inner = t.substr(1);
    return Trim(inner.substr(0, inner.find(']')));
}

std::optional<std::string_view> KeyOf(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, eq));
}

std::string Describe(std::string_view section, std::string_view key, std::string_view value, std::string_view before,
                     std::string_view after) {
    return "section \"" + Escaped(section) + "\" key \"" + Escaped(key) + "\" value \"" + Escaped(value) + "\"\nbefore \"" +
           Escaped(before) + "\"\nafter  \"" + Escaped(after) + "\"";
}

// Every line the section read returns is non-blank and no header, and its value is the one
// ProfileValue gives for its key, for the first line of each key.
void CheckSectionLines(const std::string& bytes, std::string_view section) {
    const std::vector<std::string> lines = ProfileSectionLines(bytes, section);
    std::vector<std::string_view> keysSeen;
    for (std::size_t i = 0; i < lines.size() && i < kMaxCheckedLines; ++i) {
        const std::string& line = lines[i];
        const std::string detail =
            "section \"" + Escaped(section) + "\" line \"" + Escaped(line) + "\" of \"" + Escaped(bytes) + "\"";
        FUZZ_CHECK(!Trim(line).empty(), detail);
        FUZZ_CHECK(!HasBreak(line), detail);
        FUZZ_CHECK(!HeaderOf(line), detail);
        const auto key = KeyOf(line);
        if (!key) continue;
        if (std::any_of(keysSeen.begin(), keysSeen.end(), [&](std::string_view k) { return SameNoCase(k, *key); })) continue;
        keysSeen.push_back(*key);
        const auto value = ProfileValue(bytes, section, *key);
        FUZZ_CHECK(value.has_value() && *value == Trim(line.substr(line.find('=') + 1)), detail);
    }
}

// The one changed or inserted line aside, the line sequence is the original one.
void CheckOtherLinesKept(const std::string& before, const std::string& after, std::string_view section, std::string_view key,
                         std::string_view value, const std::string& detail) {
    // A UTF-8 byte order mark stands in front of the first line, not in it, and stays there.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const std::size_t mark = before.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    FUZZ_CHECK(after.starts_with(before.substr(0, mark)), detail);
    const std::vector<Line> o = SplitLines(std::string_view(before).substr(mark));
    const std::vector<Line> n = SplitLines(std::string_view(after).substr(mark));
    FUZZ_CHECK(n.size() >= o.size() && n.size() <= o.size() + 2, detail);
    const std::size_t added = n.size() - o.size();
    const std::string written = std::string(key) + "=" + std::string(value);

    if (added == 0) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < o.size(); ++i) {
            if (o[i] == n[i]) continue;
            ++changed;
            FUZZ_CHECK(o[i].end == n[i].end, detail);
            const auto oldKey = KeyOf(o[i].text);
            FUZZ_CHECK(oldKey && SameNoCase(*oldKey, key), detail);
            FUZZ_CHECK(n[i].text == o[i].text.substr(0, o[i].text.find('=') + 1) + std::string(value), detail);
        }
        FUZZ_CHECK(changed <= 1, detail);
        return;
    }

    std::size_t p = 0;
    while (p < o.size() && o[p].text == n[p].text) ++p;
    for (std::size_t i = 0; i < p; ++i) {
        const bool gainedEnd = i + 1 == o.size() && o[i].end.empty() && n[i].end == "\r\n";
        FUZZ_CHECK(o[i].end == n[i].end || gainedEnd, detail);
    }
    for (std::size_t i = p; i < o.size(); ++i) FUZZ_CHECK(o[i] == n[i + added], detail);
    if (added == 1) {
        FUZZ_CHECK((n[p] == Line{written, "\r\n"}), detail);
        // After the section's last non-blank line, so that blank lines closing it stay behind it.
        FUZZ_CHECK(p > 0 && !Trim(n[p - 1].text).empty(), detail);
    } else {
        FUZZ_CHECK(p == o.size(), detail);
        FUZZ_CHECK((n[p] == Line{"[" + std::string(Trim(section)) + "]", "\r\n"}), detail);
        FUZZ_CHECK((n[p + 1] == Line{written, "\r\n"}), detail);
    }
}

// SetValues gives the bytes and the result of one SetValue per key. The keys: the pieces of the
// key between \x01 bytes, then field 1 of each line of the section, as a reset takes them.
void CheckManyKeysAtOnce(const std::string& before, std::string_view section, std::string_view key, std::string_view value) {
    std::vector<std::string> keys;
    for (std::size_t start = 0;;) {
        const std::size_t stop = key.find('\x01', start);
        keys.emplace_back(key.substr(start, stop - start));
        if (stop == std::string_view::npos) break;
        start = stop + 1;
    }
    const std::vector<std::string> lines = ProfileSectionLines(before, section);
    for (std::size_t i = 0; i < lines.size() && i < kMaxCheckedLines; ++i) keys.push_back(GetField(lines[i], 1, "="));

    ProfileDocument oneByOne(before);
    bool allSet = true;
    for (const std::string& k : keys) allSet = oneByOne.SetValue(section, k, value) && allSet;
    ProfileDocument atOnce(before);
    const bool setAtOnce = atOnce.SetValues(section, keys, value);
    std::string detail = "section \"" + Escaped(section) + "\" value \"" + Escaped(value) + "\" keys";
    for (const std::string& k : keys) detail += " \"" + Escaped(k) + "\"";
    detail += "\nbefore \"" + Escaped(before) + "\"";
    FUZZ_CHECK(setAtOnce == allSet, detail);
    FUZZ_CHECK(atOnce.Bytes() == oneByOne.Bytes(), detail + "\none by one \"" + Escaped(oneByOne.Bytes()) + "\"\nat once \"" +
                                                       Escaped(atOnce.Bytes()) + "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view section = "Codes";
    std::string_view key = "00123";
    std::string_view value = "USED";
    std::string_view document = input;
    const std::size_t a = input.find('\0');
    const std::size_t b = a == std::string_view::npos ? a : input.find('\0', a + 1);
    const std::size_t c = b == std::string_view::npos ? b : input.find('\0', b + 1);
    if (c != std::string_view::npos) {
        section = input.substr(0, a);
        key = input.substr(a + 1, b - a - 1);
        value = input.substr(b + 1, c - b - 1);
        document = input.substr(c + 1);
    }
    const std::string before(document);

    FUZZ_CHECK(ProfileDocument(before).Bytes() == before, "\"" + Escaped(before) + "\"");
    CheckSectionLines(before, section);
    CheckManyKeysAtOnce(before, section, key, value);

    ProfileDocument edited(before);
    const bool written = edited.SetValue(section, key, value);
    const std::string after = edited.Bytes();
    const std::string detail = Describe(section, key, value, before, after);

    const std::string_view trimmedKey = Trim(key);
    const bool breaksFile = HasBreak(section) || HasBreak(key) || HasBreak(value) ||
                            trimmedKey.find('=') != std::string_view::npos || section.find(']') != std::string_view::npos ||
                            (!trimmedKey.empty() && trimmedKey.front() == '[');
    FUZZ_CHECK(written == !breaksFile, detail);
    if (!written || trimmedKey.empty()) {
        FUZZ_CHECK(after == before, detail);
        return 0;
    }

    const auto read = ProfileValue(after, section, key);
    FUZZ_CHECK(read.has_value() && *read == Trim(value), detail);
    CheckOtherLinesKept(before, after, section, trimmedKey, value, detail);
    CheckSectionLines(after, section);

    // The written key is among the lines the section read returns.
    const std::vector<std::string> sectionLines = ProfileSectionLines(after, section);
    FUZZ_CHECK(std::any_of(sectionLines.begin(), sectionLines.end(),
                           [&](const std::string& line) {
                               const auto k = KeyOf(line);
                               return k && SameNoCase(*k, trimmedKey);
                           }),
               detail);

    // A second write to the same key, in other case, changes its line in place.
    const std::string value2 = "2" + std::string(value);
    ProfileDocument rewritten(after);
    FUZZ_CHECK(rewritten.SetValue(SwapCase(section), SwapCase(key), value2), detail);
    const std::string after2 = rewritten.Bytes();
    const std::string detail2 = Describe(SwapCase(section), SwapCase(key), value2, after, after2);
    FUZZ_CHECK(ProfileValue(after2, section, key) == std::string(Trim(value2)), detail2);
    FUZZ_CHECK(SplitLines(after2).size() == SplitLines(after).size(), detail2);
    CheckOtherLinesKept(after, after2, section, trimmedKey, value2, detail2);

    // Other keys of the section, and every other section, read as before.
    const std::vector<std::string> oldSectionLines = ProfileSectionLines(before, section);
    for (std::size_t i = 0; i < oldSectionLines.size() && i < kMaxCheckedLines; ++i) {
        const auto k = KeyOf(oldSectionLines[i]);
        if (!k || SameNoCase(*k, trimmedKey)) continue;
        FUZZ_CHECK(ProfileValue(after, section, *k) == ProfileValue(before, section, *k),
                   detail + "\nkey \"" + Escaped(*k) + "\"");
    }
    std::size_t headersChecked = 0;
    for (const Line& line : SplitLines(before)) {
        const auto name = HeaderOf(line.text);
        if (!name || SameNoCase(*name, Trim(section))) continue;
        if (++headersChecked > kMaxCheckedLines) break;
        FUZZ_CHECK(ProfileSectionLines(after, *name) == ProfileSectionLines(before, *name),
                   detail + "\nsection \"" + Escaped(*name) + "\"");
    }
    return 0;
}
