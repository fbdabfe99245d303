// Preloaded into a child process by the check's tests: reads of one file fail in a byte range, as a
// scratched disc's would. CINEMORK_FAIL_FILE names the file, CINEMORK_FAIL_FROM and CINEMORK_FAIL_TO
// the range [from, to) (to absent: to the end), CINEMORK_FAIL_ERRNO the error (EIO when absent). A read
// that starts before the range ends short at its start, as a drive reads up to the bad sector.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <limits.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

template<typename F>
F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool isChosen(int fd)
{
    const char *chosen = std::getenv("CINEMORK_FAIL_FILE");
    if (!chosen)
        return false;
    char link[64], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n < 0)
        return false;
    target[n] = '\0';
    return std::strcmp(target, chosen) == 0;
}

long long envNumber(const char *name, long long otherwise)
{
    const char *v = std::getenv(name);
    return v ? std::atoll(v) : otherwise;
}

// The bytes that may be read from offset before the range, or -1 with errno set when it starts inside.
ssize_t allowed(int fd, long long offset, size_t count)
{
    if (!isChosen(fd))
        return ssize_t(count);
    const long long from = envNumber("CINEMORK_FAIL_FROM", 0), to = envNumber("CINEMORK_FAIL_TO", LLONG_MAX);
    if (offset >= from && offset < to) {
        errno = int(envNumber("CINEMORK_FAIL_ERRNO", EIO));
        return -1;
    }
    if (offset < from && offset + (long long)count > from)
        return ssize_t(from - offset);
    return ssize_t(count);
}

} // namespace

extern "C" {

ssize_t read(int fd, void *buf, size_t count)
{
    static auto real = next<ssize_t (*)(int, void *, size_t)>("read");
    const ssize_t n = isChosen(fd) ? allowed(fd, lseek(fd, 0, SEEK_CUR), count) : ssize_t(count);
    return n < 0 ? -1 : real(fd, buf, size_t(n));
}

ssize_t pread(int fd, void *buf, size_t count, off_t offset)
{
    static auto real = next<ssize_t (*)(int, void *, size_t, off_t)>("pread");
    const ssize_t n = allowed(fd, offset, count);
    return n < 0 ? -1 : real(fd, buf, size_t(n), offset);
}

ssize_t pread64(int fd, void *buf, size_t count, off64_t offset)
{
    static auto real = next<ssize_t (*)(int, void *, size_t, off64_t)>("pread64");
    const ssize_t n = allowed(fd, offset, count);
    return n < 0 ? -1 : real(fd, buf, size_t(n), offset);
}
}
