// A disk that fills up, for the full-disk tests. Preloaded (LD_PRELOAD) into the Wine processes of
// the test, it lets no regular file grow past the byte count that a file ".full-disk" in the
// file's folder holds: a write that would go beyond it is cut short, and the next one fails with
// ENOSPC, as on a full disk. Files in folders without that marker are written as usual. A per
// folder marker rather than an environment variable, as Wine does not hand a variable set by a
// Windows process to the Unix side of the processes it starts.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

// The size the folder of fd allows its files, or -1 when fd is no regular file in a marked folder.
static long long SizeLimitFor(int fd) {
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    char link[64];
    char path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - sizeof "/.full-disk");
    if (length <= 0) return -1;
    path[length] = '\0';
    char* slash = strrchr(path, '/');
    if (slash == NULL) return -1;
    strcpy(slash + 1, ".full-disk");
    FILE* marker = fopen(path, "r");
    if (marker == NULL) return -1;
    long long limit = 0;
    if (fscanf(marker, "%lld", &limit) != 1) limit = 0;
    fclose(marker);
    return limit;
}

// How many of count bytes at offset fit; 0 with errno ENOSPC when none does.
static size_t Fitting(int fd, off_t offset, size_t count) {
    const long long limit = SizeLimitFor(fd);
    if (limit < 0 || count == 0) return count;
    if (offset >= limit) {
        errno = ENOSPC;
        return 0;
    }
    return (unsigned long long)(limit - offset) < count ? (size_t)(limit - offset) : count;
}

typedef ssize_t (*WriteFunction)(int, const void*, size_t);
typedef ssize_t (*PositionedWriteFunction)(int, const void*, size_t, off_t);

ssize_t write(int fd, const void* buffer, size_t count) {
    static WriteFunction next;
    if (next == NULL) next = (WriteFunction)dlsym(RTLD_NEXT, "write");
    const size_t fitting = Fitting(fd, lseek(fd, 0, SEEK_CUR), count);
    if (fitting == 0 && count != 0) return -1;
    return next(fd, buffer, fitting);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    static PositionedWriteFunction next;
    if (next == NULL) next = (PositionedWriteFunction)dlsym(RTLD_NEXT, "pwrite");
    const size_t fitting = Fitting(fd, offset, count);
    if (fitting == 0 && count != 0) return -1;
    return next(fd, buffer, fitting, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) { return pwrite(fd, buffer, count, offset); }
