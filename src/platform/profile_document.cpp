#include "platform/profile_document.h"

#include <unordered_map>

namespace codeeingabe {
namespace {

constexpr std::string_view kNewLineEnd = "\r\n";
// Put in front by editors that save "UTF-8": not part of the first line, whose header it would hide.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    return bytes;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The section name of a header line, or nullopt for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
    const std::string_view text = Trimmed(line);
    if (text.empty() || text.front() != '[') return std::nullopt;
    const std::string_view inner = text.substr(1);
    return Trimmed(inner.substr(0, inner.find(']')));
}

// A line whose first non-blank character is ";" is a comment, whatever it holds.
bool IsComment(std::string_view line) {
    const std::string_view text = Trimmed(line);
    return !text.empty() && text.front() == ';';
}

// The key of a key line, or nullopt for a line without "=" and for a comment.
std::optional<std::string_view> KeyName(std::string_view line) {
    if (IsComment(line)) return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Trimmed(line.substr(0, equals));
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Walks the lines of the bytes, without their line ends, until the visitor returns false.
template <typename Visitor>
void ForEachLine(std::string_view bytes, Visitor visit) {
    bytes = WithoutByteOrderMark(bytes);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            visit(bytes.substr(start));
            return;
        }
        if (!visit(bytes.substr(start, stop - start))) return;
        start = stop + (bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
    }
}

}  // namespace

std::string_view ValueAsRead(std::string_view value) {
    value = Trimmed(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> ProfileValue(std::string_view bytes, std::string_view section, std::string_view key) {
    section = Trimmed(section);
    key = Trimmed(key);
    bool inSection = false;
    std::optional<std::string> value;
    ForEachLine(bytes, [&](std::string_view line) {
        if (const auto name = HeaderName(line)) {
            inSection = EqualNoCase(*name, section);
        } else if (inSection) {
            const auto lineKey = KeyName(line);
            if (lineKey && EqualNoCase(*lineKey, key)) {
                value = std::string(ValueAsRead(line.substr(line.find('=') + 1)));
                return false;
            }
        }
        return true;
    });
    return value;
}

std::vector<std::string> ProfileSectionLines(std::string_view bytes, std::string_view section) {
    section = Trimmed(section);
    bool inSection = false;
    std::vector<std::string> lines;
    ForEachLine(bytes, [&](std::string_view line) {
        if (const auto name = HeaderName(line)) {
            inSection = EqualNoCase(*name, section);
        } else if (inSection && !Trimmed(line).empty() && !IsComment(line)) {
            lines.emplace_back(line);
        }
        return true;
    });
    return lines;
}

ProfileDocument::ProfileDocument(std::string_view bytes) {
    const std::string_view text = WithoutByteOrderMark(bytes);
    byteOrderMark_ = bytes.substr(0, bytes.size() - text.size());
    bytes = text;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const std::size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        lines_.push_back({std::string(bytes.substr(start, stop - start)), std::string(bytes.substr(stop, endLength))});
        start = stop + endLength;
    }
}

std::vector<std::size_t> ProfileDocument::SectionHeaderIndexes(std::string_view section) const {
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = HeaderName(lines_[i].text);
        if (name && EqualNoCase(*name, section)) headers.push_back(i);
    }
    return headers;
}

std::size_t ProfileDocument::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !HeaderName(lines_[i].text)) ++i;
    return i;
}

std::optional<std::size_t> ProfileDocument::KeyLineIndex(std::string_view section, std::string_view key) const {
    for (const std::size_t header : SectionHeaderIndexes(section)) {
        const std::size_t end = SectionEnd(header);
        for (std::size_t i = header + 1; i < end; ++i) {
            const auto name = KeyName(lines_[i].text);
            if (name && EqualNoCase(*name, key)) return i;
        }
    }
    return std::nullopt;
}

bool ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    // Header names are read trimmed, so an untrimmed name would add a section no read finds.
    section = Trimmed(section);
    key = Trimmed(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (key.find('=') != std::string_view::npos || section.find(']') != std::string_view::npos) return false;
    if (!key.empty() && (key.front() == '[' || key.front() == ';')) return false;
    if (key.empty()) return true;

    if (const auto index = KeyLineIndex(section, key)) {
        std::string& text = lines_[*index].text;
        text.replace(text.find('=') + 1, std::string::npos, value);
        return true;
    }

    std::string newLine(key);
    newLine.append("=").append(value);
    const auto headers = SectionHeaderIndexes(section);
    if (headers.empty()) {
        if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = kNewLineEnd;
        std::string header = "[";
        header.append(section).append("]");
        lines_.push_back({std::move(header), std::string(kNewLineEnd)});
        lines_.push_back({std::move(newLine), std::string(kNewLineEnd)});
        return true;
    }
    // After the last non-blank line, so that blank lines that close the section stay behind it.
    std::size_t last = headers.front();
    for (std::size_t i = last + 1; i < SectionEnd(headers.front()); ++i) {
        if (!Trimmed(lines_[i].text).empty()) last = i;
    }
    if (lines_[last].end.empty()) lines_[last].end = kNewLineEnd;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), {std::move(newLine), std::string(kNewLineEnd)});
    return true;
}

bool ProfileDocument::SetValues(std::string_view section, const std::vector<std::string>& keys, std::string_view value) {
    // One index of the section's key lines instead of a search per key keeps a reset of a long
    // list linear. Keys not yet in the section are added one by one afterwards, as they shift lines.
    std::unordered_map<std::string, std::size_t> keyLines;
    for (const std::size_t header : SectionHeaderIndexes(Trimmed(section))) {
        const std::size_t end = SectionEnd(header);
        for (std::size_t i = header + 1; i < end; ++i) {
            const auto name = KeyName(lines_[i].text);
            if (name && !name->empty()) keyLines.emplace(LowerCase(*name), i);
        }
    }
    bool allSet = true;
    std::vector<std::string_view> newKeys;
    for (const std::string& key : keys) {
        // An empty key is never in the index: SetValue decides it, refusing it with a bad section or value.
        const auto found = keyLines.find(LowerCase(Trimmed(key)));
        if (found == keyLines.end() || HasLineBreak(value)) {
            newKeys.push_back(key);
            continue;
        }
        std::string& text = lines_[found->second].text;
        text.replace(text.find('=') + 1, std::string::npos, value);
    }
    for (const std::string_view key : newKeys) allSet = SetValue(section, key, value) && allSet;
    return allSet;
}

std::string ProfileDocument::Bytes() const {
    std::string bytes = byteOrderMark_;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

}  // namespace codeeingabe
