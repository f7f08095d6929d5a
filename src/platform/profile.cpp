#include "platform/profile.h"

#include "platform/profile_document.h"

namespace codeeingabe {
namespace {

// The longest value a read gives, as the platform's profile read with a 1024-character buffer.
constexpr std::size_t kMaxValueLength = 1023;

template <typename Edit>
bool EditProfile(const FilePath& file, Edit edit) {
    FileLock lock(file);
    if (!lock.Locked()) return false;
    const FileRead read = ReadFileBytes(file);
    if (read.status == FileRead::Status::failed) return false;
    ProfileDocument document(read.bytes);
    const bool allEdited = edit(document);
    const std::string bytes = document.Bytes();
    if (bytes == read.bytes) return allEdited;
    return ReplaceFileAtomically(file, bytes) && allEdited;
}

}  // namespace

std::string ReadProfile(const FilePath& file, std::string_view section, std::string_view key,
                        std::string_view defaultValue) {
    const FileRead read = ReadFileBytes(file);
    std::string value(defaultValue);
    if (read.status == FileRead::Status::ok) {
        if (auto found = ProfileValue(read.bytes, section, key)) value = std::move(*found);
    }
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    return value;
}

bool WriteProfile(const FilePath& file, std::string_view section, std::string_view key,
                  std::string_view value) {
    if (key.empty()) return true;
    return EditProfile(file, [&](ProfileDocument& document) { return document.SetValue(section, key, value); });
}

bool WriteProfileKeys(const FilePath& file, std::string_view section, const std::vector<std::string>& keys,
                      std::string_view value) {
    if (keys.empty()) return true;
    return EditProfile(file, [&](ProfileDocument& document) {
        return document.SetValues(section, keys, value);  // keys that cannot be set do not stop the others
    });
}

std::vector<std::string> ReadSection(const FilePath& file, std::string_view section) {
    const FileRead read = ReadFileBytes(file);
    if (read.status != FileRead::Status::ok) return {};
    return ProfileSectionLines(read.bytes, section);
}

bool ReplaceFileContent(const FilePath& file, std::string_view content) {
    FileLock lock(file);
    return lock.Locked() && ReplaceFileAtomically(file, content);
}

}  // namespace codeeingabe
