#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_path.h"

namespace codeeingabe {

struct FileRead {
    enum class Status { ok, missing, failed };
    Status status = Status::missing;
    std::string bytes;
};

// Reads a whole file, sharing it with writers and with a rename over it; a program that holds the
// file for itself is waited for, a few seconds at most. A file that exists but cannot be read is
// "failed", never "missing": a writer must not rebuild it from nothing.
FileRead ReadFileBytes(const FilePath& file);

// An existing path that is a file, not a folder (whatever its attributes).
bool FileExists(const FilePath& path);

// Writes the content to a temporary file beside the target, flushes it to the disk and renames
// it over the target, so that a crash or power loss leaves the old file or the new one, whole.
// Fails without touching the target when it is read-only or its folder is missing. Callers hold
// the target's FileLock: the temporary file's name is fixed.
bool ReplaceFileAtomically(const FilePath& file, std::string_view content);

// Serialises the read-modify-write of one file across the processes of the program. The wait is
// bounded, so a stuck holder makes a write fail instead of hanging the keypad or the settings.
class FileLock {
public:
    explicit FileLock(const FilePath& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Locked() const { return locked_; }

private:
    std::intptr_t native_ = -1;
    bool locked_ = false;
};

}  // namespace codeeingabe
