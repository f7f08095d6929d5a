#include "codelist/journal_win.h"

#include <windows.h>

#include "platform/file_store.h"
#include "platform/win_handles.h"

namespace codeeingabe {
namespace {

enum class Append { done, held, failed };

JournalTime Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

FilePath JournalFile(const ProcessValues& values, int year) { return values.ModuleFile(JournalFileName(year)); }

FilePath WaitingFile(const FilePath& journal) { return journal + L".wartend"; }

bool EndsWith(HANDLE file, LONGLONG size, std::string_view tail) {
    if (tail.empty()) return true;
    if (size < static_cast<LONGLONG>(tail.size())) return false;
    std::string bytes(tail.size(), '\0');
    DWORD read = 0;
    return SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = size - static_cast<LONGLONG>(tail.size())}, nullptr,
                            FILE_BEGIN) &&
           ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && bytes == tail;
}

// Appends the waiting lines and the new one in one write, flushed, behind a heading if the file is
// new. Waiting lines that the file already ends with were appended by a merge that died before it
// could remove them. A write cut short (a full disk) is taken back, so that no torn line stays.
Append AppendDurably(const FilePath& file, std::string_view heading, std::string_view waiting, std::string_view line) {
    UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? Append::held : Append::failed;
    }
    LARGE_INTEGER end{};
    if (!GetFileSizeEx(handle.get(), &end)) return Append::failed;
    std::string bytes(end.QuadPart == 0 ? heading : "");
    if (!EndsWith(handle.get(), end.QuadPart, waiting)) bytes.append(waiting);
    bytes.append(line);
    DWORD written = 0;
    if (SetFilePointerEx(handle.get(), end, nullptr, FILE_BEGIN) &&
        WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(handle.get())) {
        return Append::done;
    }
    SetFilePointerEx(handle.get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(handle.get());
    return Append::failed;
}

// The caller holds the journal's lock, which the waiting file shares.
bool AppendLine(const FilePath& journal, std::string_view line) {
    const FilePath waiting = WaitingFile(journal);
    const FileRead waited = ReadFileBytes(waiting);
    if (waited.status == FileRead::Status::failed) return AppendDurably(waiting, "", "", line) == Append::done;
    switch (AppendDurably(journal, JournalHeading(), waited.bytes, line)) {
        case Append::done:
            if (waited.status == FileRead::Status::ok) DeleteFileW(waiting.c_str());
            return true;
        case Append::held:
            return AppendDurably(waiting, "", "", line) == Append::done;
        case Append::failed:
            break;
    }
    return false;
}

}  // namespace

FilePath JournalFile(const ProcessValues& values) { return JournalFile(values, Now().year); }

bool WriteJournal(const ProcessValues& values, const JournalEntry& entry) {
    const JournalTime now = Now();
    const FilePath journal = JournalFile(values, now.year);
    // Both modes may write at once: each line comes whole, and after the ones waiting.
    FileLock lock(journal);
    return lock.Locked() && AppendLine(journal, JournalLine(now, entry));
}

void AppendWaitingJournalLines(const ProcessValues& values) {
    const int year = Now().year;
    for (const int waitingYear : {year - 1, year}) {  // lines written on New Year's Eve may still wait
        const FilePath journal = JournalFile(values, waitingYear);
        if (!FileExists(WaitingFile(journal))) continue;
        FileLock lock(journal);
        if (lock.Locked()) AppendLine(journal, "");
    }
}

}  // namespace codeeingabe
