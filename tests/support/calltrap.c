/* Preloaded into a program under test to see, and cut short, its file
 * system calls at exact moments:
 *
 *   QUILL_CALL_LOG=FILE          appends one line per call:
 *                                "<call> <path> [<path>]" (fsync: the file's path)
 *   QUILL_KILL_AFTER=CALL:TEXT   after a successful CALL one of whose paths
 *                                holds TEXT, the process is killed (SIGKILL),
 *                                as a power cut or kill -9 would end it there
 *
 * Calls: rename, renameat, renameat2, fsync, fdatasync, unlink, unlinkat,
 * rmdir. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void path_of_fd(int fd, char* out, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, out, size - 1);
    out[n > 0 ? n : 0] = '\0';
}

static void after(const char* call, int rc, const char* a, const char* b)
{
    const char* log = getenv("QUILL_CALL_LOG");
    if (log && *log) {
        const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char line[2 * PATH_MAX + 64];
            const int n = snprintf(line, sizeof line, "%s%s %s%s%s\n", rc == 0 ? "" : "failed ",
                                   call, a, b ? " " : "", b ? b : "");
            if (n > 0 && write(fd, line, (size_t)n) < 0) {
                /* the log is best effort */
            }
            close(fd);
        }
    }
    const char* kill_after = getenv("QUILL_KILL_AFTER");
    if (rc != 0 || !kill_after)
        return;
    const char* colon = strchr(kill_after, ':');
    if (!colon || strncmp(kill_after, call, (size_t)(colon - kill_after)) != 0 ||
        call[colon - kill_after] != '\0')
        return;
    const char* text = colon + 1;
    if (strstr(a, text) || (b && strstr(b, text)))
        kill(getpid(), SIGKILL);
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int rename(const char* from, const char* to)
{
    const int rc = REAL(rename)(from, to);
    after("rename", rc, from, to);
    return rc;
}

int renameat(int fromdir, const char* from, int todir, const char* to)
{
    const int rc = REAL(renameat)(fromdir, from, todir, to);
    after("renameat", rc, from, to);
    return rc;
}

int renameat2(int fromdir, const char* from, int todir, const char* to, unsigned int flags)
{
    const int rc = REAL(renameat2)(fromdir, from, todir, to, flags);
    after("renameat2", rc, from, to);
    return rc;
}

static int synced(const char* call, int fd, int (*real)(int))
{
    char path[PATH_MAX];
    path_of_fd(fd, path, sizeof path);
    const int rc = real(fd);
    after(call, rc, path, NULL);
    return rc;
}

int fsync(int fd)
{
    return synced("fsync", fd, REAL(fsync));
}

int fdatasync(int fd)
{
    return synced("fdatasync", fd, REAL(fdatasync));
}

int unlink(const char* path)
{
    const int rc = REAL(unlink)(path);
    after("unlink", rc, path, NULL);
    return rc;
}

int unlinkat(int dir, const char* path, int flags)
{
    const int rc = REAL(unlinkat)(dir, path, flags);
    after("unlinkat", rc, path, NULL);
    return rc;
}

int rmdir(const char* path)
{
    const int rc = REAL(rmdir)(path);
    after("rmdir", rc, path, NULL);
    return rc;
}
