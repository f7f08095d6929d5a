#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_path.h"
#include "platform/file_store.h"

namespace codeeingabe {

// The profile (INI) operations every part of the program reaches its files through. Nothing is
// cached: each call reads the file afresh, so another process's change is seen at the next call.
// Texts are bytes in the system's ANSI code page.

// A profile file's bytes. A file in a Unicode encoding (it starts with a UTF-16 byte order mark)
// does not follow the single-byte rules and reads as "failed": none of its keys is found, and no
// writer adds single-byte lines to it.
FileRead ReadProfileBytes(const FilePath& file);

// The key's value (at most 1023 characters), or the default when the file, the section or the key
// is missing or the file cannot be read. A present empty value gives the empty text.
std::string ReadProfile(const FilePath& file, std::string_view section, std::string_view key, std::string_view defaultValue);

// ReadProfile, but nullopt when the file exists and cannot be read (another program holds it, or
// its encoding is not the module's): for callers that must not take such a file for a missing one.
std::optional<std::string> TryReadProfile(const FilePath& file, std::string_view section, std::string_view key,
                                          std::string_view defaultValue);

// Writes one key, creating a missing file (never a missing folder). Atomic, durable and serialised
// against the program's other processes. True when the file now holds the value; callers that
// must not report success falsely look at it, the others may ignore it.
bool WriteProfile(const FilePath& file, std::string_view section, std::string_view key, std::string_view value);

// Writes the value only where the key holds `expected` at that moment, checked and written under
// the same lock: a code is booked only while it is still free in the list that stands on the disk
// then, and a booking never adds a code to a list that replaced the one it was looked up in.
bool ChangeProfileValue(const FilePath& file, std::string_view section, std::string_view key, std::string_view expected,
                        std::string_view value);

// Several keys of one section in one locked rewrite, with the bytes that one WriteProfile per key
// would leave: a crash or a failed write never leaves some of them written and others not.
bool WriteProfileValues(const FilePath& file, std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& values);

// The same value for every key of the section (field 1 of each line split at "=") in one locked
// rewrite: the result of one WriteProfile per key, without a durable write per key. The keys are
// read under the same lock, so a list that replaced the one on the disk meanwhile gets none of the
// old list's codes.
bool WriteSectionValues(const FilePath& file, std::string_view section, std::string_view value);

// Every non-blank line of the section as "key=value" text, untrimmed, in file order; empty for a
// missing file or section.
std::vector<std::string> ReadSection(const FilePath& file, std::string_view section);

// Replaces a whole file (code list generation, text export) atomically, under the same lock as the
// single-key writes.
bool ReplaceFileContent(const FilePath& file, std::string_view content);

}  // namespace codeeingabe
