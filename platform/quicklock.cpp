#include "quicklock.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace QuickLock {

namespace {

// The first line of a small system file, without its line end.
std::string firstLine(const char* path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string machineId()
{
    for (const char* path : {"/var/lib/dbus/machine-id", "/etc/machine-id"}) {
        const std::string id = firstLine(path);
        if (!id.empty())
            return id;
    }
    return {};
}

} // namespace

int create(const std::string& path, const std::string& program)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    // What QLockFile writes: its process, program, host, machine and boot.
    const std::string text = std::to_string(::getpid()) + '\n' + program + '\n' + host + '\n' +
                             machineId() + '\n' + firstLine("/proc/sys/kernel/random/boot_id") +
                             '\n';
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::write(fd, text.data(), text.size()) != ssize_t(text.size()) || ::fdatasync(fd) != 0) {
        // Half made: gone again, and the decision left to SingleInstance.
        ::unlink(path.c_str());
        ::close(fd);
        return -1;
    }
    return fd;
}

bool holderRuns(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || line.empty() || line.size() > 10 ||
        line.find_first_not_of("0123456789") != std::string::npos || in.eof())
        return false;
    const long pid = std::strtol(line.c_str(), nullptr, 10);
    // Signal 0 only asks whether the process is there; one of another user
    // answers EPERM.
    return pid > 0 && pid == pid_t(pid) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

std::string runtimeFolder()
{
    const char* env = std::getenv("XDG_RUNTIME_DIR");
    struct stat st
    {
    };
    if (!env || env[0] != '/' || ::stat(env, &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700)
        return {};
    std::string folder(env);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace QuickLock
