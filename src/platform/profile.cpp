#include "platform/profile.h"

#include "platform/get_field.h"
#include "platform/profile_document.h"

namespace codeeingabe {
namespace {

// The longest value a read gives, as the platform's profile read with a 1024-character buffer.
constexpr std::size_t kMaxValueLength = 1023;

bool HasUtf16ByteOrderMark(std::string_view bytes) { return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"); }

// edit gets the document and the bytes it was read from, and answers whether it made every change
// it meant to; what it did change is written all the same.
template <typename Edit>
bool EditProfile(const FilePath& file, Edit edit) {
    FileLock lock(file);
    if (!lock.Locked()) return false;
    const FileRead read = ReadProfileBytes(file);
    if (read.status == FileRead::Status::failed) return false;
    ProfileDocument document(read.bytes);
    const bool allEdited = edit(document, std::string_view(read.bytes));
    const std::string bytes = document.Bytes();
    if (bytes == read.bytes) return allEdited;
    return ReplaceFileAtomically(file, bytes) && allEdited;
}

}  // namespace

FileRead ReadProfileBytes(const FilePath& file) {
    FileRead read = ReadFileBytes(file);
    if (read.status == FileRead::Status::ok && HasUtf16ByteOrderMark(read.bytes)) {
        read.status = FileRead::Status::failed;
        read.bytes.clear();
    }
    return read;
}

std::string ReadProfile(const FilePath& file, std::string_view section, std::string_view key,
                        std::string_view defaultValue) {
    return TryReadProfile(file, section, key, defaultValue).value_or(std::string(defaultValue));
}

std::optional<std::string> TryReadProfile(const FilePath& file, std::string_view section, std::string_view key,
                                          std::string_view defaultValue) {
    const FileRead read = ReadProfileBytes(file);
    // A folder in the file's place, or a path that cannot be reached, is no file: it reads as missing.
    if (read.status == FileRead::Status::failed && FileExists(file)) return std::nullopt;
    std::string value(defaultValue);
    if (read.status == FileRead::Status::ok) {
        if (auto found = ProfileValue(read.bytes, section, key)) value = std::move(*found);
    }
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    return value;
}

bool WriteProfile(const FilePath& file, std::string_view section, std::string_view key, std::string_view value) {
    if (key.empty()) return true;
    return EditProfile(file,
                       [&](ProfileDocument& document, std::string_view) { return document.SetValue(section, key, value); });
}

bool ChangeProfileValue(const FilePath& file, std::string_view section, std::string_view key, std::string_view expected,
                        std::string_view value) {
    if (key.empty()) return false;
    bool matched = false;
    const bool written = EditProfile(file, [&](ProfileDocument& document, std::string_view bytes) {
        matched = ProfileValue(bytes, section, key) == expected;
        return matched && document.SetValue(section, key, value);
    });
    return matched && written;
}

bool WriteProfileValues(const FilePath& file, std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& values) {
    return EditProfile(file, [&](ProfileDocument& document, std::string_view) {
        bool allSet = true;
        for (const auto& [key, value] : values) allSet = (key.empty() || document.SetValue(section, key, value)) && allSet;
        return allSet;
    });
}

bool WriteSectionValues(const FilePath& file, std::string_view section, std::string_view value) {
    return EditProfile(file, [&](ProfileDocument& document, std::string_view bytes) {
        std::vector<std::string> keys;
        for (const std::string& line : ProfileSectionLines(bytes, section)) {
            std::string key = GetField(line, 1, "=");
            if (!key.empty()) keys.push_back(std::move(key));  // a line without "=" names no key
        }
        return document.SetValues(section, keys, value);  // keys that cannot be set do not stop the others
    });
}

std::vector<std::string> ReadSection(const FilePath& file, std::string_view section) {
    const FileRead read = ReadProfileBytes(file);
    if (read.status != FileRead::Status::ok) return {};
    return ProfileSectionLines(read.bytes, section);
}

bool ReplaceFileContent(const FilePath& file, std::string_view content) {
    FileLock lock(file);
    return lock.Locked() && ReplaceFileAtomically(file, content);
}

}  // namespace codeeingabe
