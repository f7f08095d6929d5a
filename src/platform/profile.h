#pragma once

#include "platform/file_path.h"
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"

namespace codeeingabe {

// The profile (INI) operations every part of the program reaches its files through. Nothing is
// cached: each call reads the file afresh, so another process's change is seen at the next call.
// Texts are bytes in the system's ANSI code page.

// The key's value (at most 1023 characters), or the default when the file, the section or the key
// is missing or the file cannot be read. A present empty value gives the empty text.
std::string ReadProfile(const FilePath& file, std::string_view section, std::string_view key,
                        std::string_view defaultValue);

// Writes one key, creating a missing file (never a missing folder). Atomic, durable and serialised
// against the program's other processes. True when the file now holds the value; callers that
// must not report success falsely look at it, the others may ignore it.
bool WriteProfile(const FilePath& file, std::string_view section, std::string_view key,
                  std::string_view value);

// The same value for many keys of one section in one locked rewrite: the result of one
// WriteProfile per key, without a durable write per key.
bool WriteProfileKeys(const FilePath& file, std::string_view section, const std::vector<std::string>& keys,
                      std::string_view value);

// Every non-blank line of the section as "key=value" text, untrimmed, in file order; empty for a
// missing file or section.
std::vector<std::string> ReadSection(const FilePath& file, std::string_view section);

// Replaces a whole file (code list generation, text export) atomically, under the same lock as the
// single-key writes.
bool ReplaceFileContent(const FilePath& file, std::string_view content);

}  // namespace codeeingabe
