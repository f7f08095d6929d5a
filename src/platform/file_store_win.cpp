#include "platform/file_store.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace codeeingabe {
namespace {

using namespace std::chrono_literals;

// How long a writer waits for another process's read-modify-write, and for readers that keep the
// target open at the moment of the rename.
constexpr DWORD kLockWaitMs = 5000;
constexpr auto kRenameRetryTime = 2s;
// How long a reader waits for a program that holds the file for itself (a virus scanner, a backup):
// read at that moment, the file would give its defaults, for a start-up the whole session long.
constexpr auto kSharingRetryTime = 2s;

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE && handle != nullptr) CloseHandle(handle);
    }
};
using UniqueFileHandle = std::unique_ptr<void, HandleCloser>;

UniqueFileHandle OpenFile(const FilePath& file, DWORD access, DWORD share, DWORD disposition) {
    HANDLE handle = CreateFileW(file.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool IsSharingError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

bool WriteAll(HANDLE handle, std::string_view content) {
    while (!content.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(handle, content.data(), chunk, &written, nullptr) || written == 0) return false;
        content.remove_prefix(written);
    }
    return true;
}

std::wstring LockName(const FilePath& file) {
    // The full path: every spelling of one file shares one lock.
    std::wstring full(GetFullPathNameW(file.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length != 0 && length < full.size())
        full.resize(length);
    else
        full = file;
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a: short, stable names for any path length
    for (wchar_t c : full) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    swprintf(name, 64, L"Local\\Codeeingabe.File.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

FileRead ReadFileBytes(const FilePath& file) {
    FileRead result;
    const auto deadline = std::chrono::steady_clock::now() + kSharingRetryTime;
    auto pause = 1ms;
    UniqueFileHandle handle;
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        handle = OpenFile(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
        error = handle ? ERROR_SUCCESS : GetLastError();
        if (!IsSharingError(error) || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    if (!handle) {
        result.status = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Status::missing
                                                                                       : FileRead::Status::failed;
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0 || size.QuadPart > (1ll << 30)) {
        result.status = FileRead::Status::failed;
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - done, 1u << 20));
        if (!ReadFile(handle.get(), result.bytes.data() + done, chunk, &read, nullptr)) {
            result.status = FileRead::Status::failed;
            return result;
        }
        if (read == 0) break;
        done += read;
    }
    result.bytes.resize(done);
    result.status = FileRead::Status::ok;
    return result;
}

bool FileExists(const FilePath& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | 0x8 /* volume label */)) == 0;
}

bool ReplaceFileAtomically(const FilePath& file, std::string_view content) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    // Windows refuses to rename over a read-only file anyway; Wine running as root does not.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    FilePath temporary = file;
    temporary += L".tmp";
    {
        UniqueFileHandle handle = OpenFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!handle) return false;
        if (!WriteAll(handle.get(), content) || !FlushFileBuffers(handle.get())) {
            handle.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + kRenameRetryTime;
    auto pause = 1ms;
    while (!MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        const bool transient = error == ERROR_ACCESS_DENIED || IsSharingError(error);
        if (!transient || std::chrono::steady_clock::now() >= deadline) {
            DeleteFileW(temporary.c_str());
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    return true;
}

FileLock::FileLock(const FilePath& file) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, LockName(file).c_str());
    if (mutex == nullptr) return;
    native_ = reinterpret_cast<std::intptr_t>(mutex);
    // An abandoned mutex means its holder died mid-write; the file itself is still whole.
    const DWORD result = WaitForSingleObject(mutex, kLockWaitMs);
    locked_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

FileLock::~FileLock() {
    if (native_ == -1) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(native_);
    if (locked_) ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace codeeingabe
