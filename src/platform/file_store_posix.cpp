#include "platform/file_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

namespace codeeingabe {
namespace {

using namespace std::chrono_literals;

constexpr auto kLockWait = 5s;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

FileRead ReadFileBytes(const FilePath& file) {
    FileRead result;
    Descriptor fd(open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = errno == ENOENT || errno == ENOTDIR ? FileRead::Status::missing : FileRead::Status::failed;
        return result;
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.status = FileRead::Status::failed;
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.status = FileRead::Status::failed;
            return result;
        }
        if (got == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    result.status = FileRead::Status::ok;
    return result;
}

bool FileExists(const FilePath& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool ReplaceFileAtomically(const FilePath& file, std::string_view content) {
    struct stat info {};
    // The owner's write bit stands for the read-only attribute; root would write regardless.
    if (stat(file.c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0)) return false;
    FilePath temporary = file;
    temporary += ".tmp";
    {
        Descriptor fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() < 0) return false;
        if (!WriteAll(fd.get(), content) || fsync(fd.get()) != 0) {
            unlink(temporary.c_str());
            return false;
        }
    }
    if (rename(temporary.c_str(), file.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    const std::filesystem::path path(file);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    Descriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) fsync(directory.get());  // makes the rename itself durable
    return true;
}

FileLock::FileLock(const FilePath& file) {
    FilePath lockFile = file;
    lockFile += ".lock";
    const int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    native_ = fd;
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (!(locked_ = flock(fd, LOCK_EX | LOCK_NB) == 0) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
}

FileLock::~FileLock() {
    if (native_ < 0) return;
    close(static_cast<int>(native_));  // closing releases the lock
}

}  // namespace codeeingabe
