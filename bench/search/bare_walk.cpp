// The practical limit of a walk on this machine: openat + getdents64 over every folder,
// counting the entries that are not folders, nothing else.
//   bare_walk ROOT

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

unsigned long long files = 0;
char buffer[1 << 16];

void walk(int fd)
{
    // Subfolders are walked after the listing is read, so one buffer serves every level.
    char *names = nullptr;
    size_t used = 0, capacity = 0;
    for (;;) {
        const long got = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (long at = 0; at < got;) {
            const char *record = buffer + at;
            unsigned short length;
            std::memcpy(&length, record + 16, sizeof length);
            at += length;
            const char *name = record + 19;
            if (record[18] != 4 /* DT_DIR */) {
                ++files;
                continue;
            }
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            const size_t n = std::strlen(name) + 1;
            if (used + n > capacity) {
                capacity = (used + n) * 2;
                names = static_cast<char *>(std::realloc(names, capacity));
            }
            std::memcpy(names + used, name, n);
            used += n;
        }
    }
    for (size_t at = 0; at < used; at += std::strlen(names + at) + 1) {
        const int child = openat(fd, names + at, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
            walk(child);
            close(child);
        }
    }
    std::free(names);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const int fd = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return 1;
    walk(fd);
    std::printf("%llu\n", files);
    return 0;
}
