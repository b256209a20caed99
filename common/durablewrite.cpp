#include "durablewrite.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFile {

int writeWhole(const char* path, const char* data, size_t size)
{
    const std::string whole(path);
    const size_t slash = whole.rfind('/');
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : whole.substr(0, slash);
    std::string temporary = whole.substr(0, nameAt) + "." + whole.substr(nameAt) + ".XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return errno;
    // The umask can only be read by setting it.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    int err = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
    while (err == 0 && size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        size -= size_t(n);
    }
    // The data on the disk before the name points at it.
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temporary.c_str(), path) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temporary.c_str());
        return err;
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

} // namespace DurableFile
