// Preloaded into a child process by the check's tests: reads of one file fail in a byte range, as a
// scratched disc's would. CINEMORK_FAIL_FILE names the file, CINEMORK_FAIL_FROM and CINEMORK_FAIL_TO
// the range [from, to) (to absent: to the end), CINEMORK_FAIL_ERRNO the error (EIO when absent). A read
// that starts before the range ends short at its start, as a drive reads up to the bad sector. The check
// reads a file with pread alone, so that is the call made to fail.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace {

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

} // namespace

extern "C" ssize_t pread(int fd, void *buf, size_t count, off_t offset)
{
    static auto real = reinterpret_cast<ssize_t (*)(int, void *, size_t, off_t)>(dlsym(RTLD_NEXT, "pread"));
    if (isChosen(fd)) {
        const long long from = envNumber("CINEMORK_FAIL_FROM", 0), to = envNumber("CINEMORK_FAIL_TO", LLONG_MAX);
        if (offset >= from && offset < to) {
            errno = int(envNumber("CINEMORK_FAIL_ERRNO", EIO));
            return -1;
        }
        if (offset < from && offset + (long long)count > from)
            count = size_t(from - offset); // up to the range
    }
    return real(fd, buf, count, offset);
}
