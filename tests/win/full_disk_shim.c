// A disk that fills up, for the full-disk tests. Preloaded (LD_PRELOAD) into the Wine processes of
// the test, it lets no regular file grow past the byte count that a file ".full-disk" in the file's
// folder holds: a write beyond it is cut short, and the next one fails with ENOSPC. A marker per
// folder rather than an environment variable, as Wine does not hand a variable set by a Windows
// process to the Unix side of the processes it starts.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

// How many of count bytes at offset fit into fd's file; -1 with errno ENOSPC when none does.
static ssize_t Fitting(int fd, off_t offset, size_t count) {
    char link[64], path[PATH_MAX];
    struct stat status;
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length =
        fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? readlink(link, path, sizeof path - sizeof "/.full-disk") : -1;
    if (length <= 0 || count == 0) return (ssize_t)count;
    path[length] = '\0';
    char* name = strrchr(path, '/') + 1;
    // The marker itself is written whole: cut to its own empty size, it would fill the disk from the first byte.
    if (strcmp(name, ".full-disk") == 0) return (ssize_t)count;
    strcpy(name, ".full-disk");
    FILE* marker = fopen(path, "r");
    long long limit = 0;
    if (marker == NULL) return (ssize_t)count;
    if (fscanf(marker, "%lld", &limit) != 1) limit = 0;
    fclose(marker);
    if (offset >= limit) return errno = ENOSPC, -1;
    return (ssize_t)(offset + (long long)count > limit ? limit - offset : (long long)count);
}

ssize_t write(int fd, const void* buffer, size_t count) {
    static ssize_t (*next)(int, const void*, size_t);
    if (next == NULL) next = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    const ssize_t fitting = Fitting(fd, lseek(fd, 0, SEEK_CUR), count);
    return fitting < 0 ? -1 : next(fd, buffer, (size_t)fitting);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    static ssize_t (*next)(int, const void*, size_t, off_t);
    if (next == NULL) next = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    const ssize_t fitting = Fitting(fd, offset, count);
    return fitting < 0 ? -1 : next(fd, buffer, (size_t)fitting, offset);
}
