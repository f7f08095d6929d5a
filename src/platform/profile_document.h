#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace codeeingabe {

// The lines of one profile (INI) file, read and edited without losing a byte: every line keeps
// its own line end (CR LF, LF, CR or none at the end of the file), blank lines and their places
// included; a UTF-8 byte order mark in front is kept and not read as part of the first line.
// Section and key names match without regard to ASCII case and to blanks and tabs around them, as
// Windows does; where a section stands more than once, its parts are read as one, in file order.
//
// Reads scan the bytes in place, without building the document: they run on every key press.

// A value as a key lookup reads it: blanks and tabs around it removed, then one pair of matching
// quotes (double or single), the blanks inside kept. Editors and installers quote values by hand.
std::string_view ValueAsRead(std::string_view value);

// The value of the first line of the key, as read by ValueAsRead; nullopt when the section or the
// key is missing. A line whose first non-blank character is ";" is a comment, never a key.
std::optional<std::string> ProfileValue(std::string_view bytes, std::string_view section, std::string_view key);

// Every non-blank line of the section that is no comment, untrimmed, in file order (lines without
// "=" too).
std::vector<std::string> ProfileSectionLines(std::string_view bytes, std::string_view section);

class ProfileDocument {
public:
    explicit ProfileDocument(std::string_view bytes);

    // Replaces the value in the key's line, or adds "key=value" after the last non-blank line of
    // the section, or adds the section at the end of the file. False, and nothing changed, for
    // names or values that would break the file's structure (a line end inside, "=" or a
    // leading "[" or ";" in the key, "]" in the section). An empty key changes nothing.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);

    // SetValue for each of the keys, in one pass over the file: true when every key was set.
    bool SetValues(std::string_view section, const std::vector<std::string>& keys, std::string_view value);

    std::string Bytes() const;

private:
    struct Line {
        std::string text;
        std::string end;
    };

    std::vector<std::size_t> SectionHeaderIndexes(std::string_view section) const;
    std::optional<std::size_t> KeyLineIndex(std::string_view section, std::string_view key) const;
    // One past the last line of the section that starts at the header index.
    std::size_t SectionEnd(std::size_t header) const;

    std::string byteOrderMark_;  // a UTF-8 byte order mark in front of the first line, kept as it was
    std::vector<Line> lines_;
};

}  // namespace codeeingabe
