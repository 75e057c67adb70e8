// Loaded with LD_PRELOAD into a child process, it makes one kind of system call fail (or kills
// the process at it) for files whose path contains a given text:
//   TAVLEN_FAULT_CALL   write | fsync | rename | create | truncate | close
//                       (create: an open that may create a file; truncate: ftruncate)
//   TAVLEN_FAULT_PATH   text the file's path (for rename: either path) must contain; empty: any
//   TAVLEN_FAULT_ERRNO  the error to report (a number; EIO when unset)
//   TAVLEN_FAULT_KILL   "1": the process kills itself with SIGKILL at the call instead
// Every other call goes through unchanged.
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace
{

int wanted(const char *call)
{
    const char *named = getenv("TAVLEN_FAULT_CALL");
    return named && strcmp(named, call) == 0;
}

int pathMatches(const char *path)
{
    const char *pattern = getenv("TAVLEN_FAULT_PATH");
    if (!pattern || !*pattern)
        return 1;
    return path && strstr(path, pattern) != NULL;
}

int fdMatches(int fd)
{
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n < 0)
        return 0;
    target[n] = '\0';
    return pathMatches(target);
}

// Fails the call (returns -1 with errno set) or kills the process.
int fault()
{
    const char *kill = getenv("TAVLEN_FAULT_KILL");
    if (kill && strcmp(kill, "1") == 0)
        raise(SIGKILL);
    const char *code = getenv("TAVLEN_FAULT_ERRNO");
    errno = code ? atoi(code) : EIO;
    return -1;
}

} // namespace

extern "C" {

#define NEXT(name) (reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name)))

ssize_t write(int fd, const void *buf, size_t count)
{
    if (wanted("write") && fd > 2 && fdMatches(fd))
        return fault();
    return NEXT(write)(fd, buf, count);
}

ssize_t writev(int fd, const struct iovec *iov, int count)
{
    if (wanted("write") && fd > 2 && fdMatches(fd))
        return fault();
    return NEXT(writev)(fd, iov, count);
}

int fsync(int fd)
{
    if (wanted("fsync") && fdMatches(fd))
        return fault();
    return NEXT(fsync)(fd);
}

int fdatasync(int fd)
{
    if (wanted("fsync") && fdMatches(fd))
        return fault();
    return NEXT(fdatasync)(fd);
}

int rename(const char *from, const char *to)
{
    if (wanted("rename") && (pathMatches(from) || pathMatches(to)))
        return fault();
    return NEXT(rename)(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    if (wanted("rename") && (pathMatches(from) || pathMatches(to)))
        return fault();
    return NEXT(renameat)(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    if (wanted("rename") && (pathMatches(from) || pathMatches(to)))
        return fault();
    return NEXT(renameat2)(fromDir, from, toDir, to, flags);
}

int creates(int flags)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
}

mode_t modeOf(int flags, va_list args)
{
    return creates(flags) ? va_arg(args, mode_t) : 0;
}

// Whether this open of path should fail as a refused file creation.
bool failsCreate(const char *path, int flags)
{
    return wanted("create") && creates(flags) && pathMatches(path);
}

// The mode argument of an open call, present only when it creates a file.
#define TAVLEN_OPEN_MODE(flags, mode)                                                              \
    va_list args;                                                                                  \
    va_start(args, flags);                                                                         \
    const mode_t mode = modeOf(flags, args);                                                       \
    va_end(args)

int open(const char *path, int flags, ...)
{
    TAVLEN_OPEN_MODE(flags, mode);
    if (failsCreate(path, flags))
        return fault();
    return NEXT(open)(path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    TAVLEN_OPEN_MODE(flags, mode);
    if (failsCreate(path, flags))
        return fault();
    return NEXT(open64)(path, flags, mode);
}

int openat(int dir, const char *path, int flags, ...)
{
    TAVLEN_OPEN_MODE(flags, mode);
    if (failsCreate(path, flags))
        return fault();
    return NEXT(openat)(dir, path, flags, mode);
}

int openat64(int dir, const char *path, int flags, ...)
{
    TAVLEN_OPEN_MODE(flags, mode);
    if (failsCreate(path, flags))
        return fault();
    return NEXT(openat64)(dir, path, flags, mode);
}

int close(int fd)
{
    if (wanted("close") && fd > 2 && fdMatches(fd))
        return fault();
    return NEXT(close)(fd);
}

int ftruncate(int fd, off_t length)
{
    if (wanted("truncate") && fdMatches(fd))
        return fault();
    return NEXT(ftruncate)(fd, length);
}

int ftruncate64(int fd, off64_t length)
{
    if (wanted("truncate") && fdMatches(fd))
        return fault();
    return NEXT(ftruncate64)(fd, length);
}

} // extern "C"
