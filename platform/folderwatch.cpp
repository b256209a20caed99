#include "folderwatch.h"

#include <QFile>

#include <cerrno>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                             IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// File systems whose folders may change without the kernel here hearing of
// it: changes made on another machine, or by a user-space server.
bool changesUnseen(long type)
{
    switch (static_cast<unsigned long>(type)) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x65735546: // FUSE
    case 0x00C36400: // Ceph
    case 0x01021997: // 9P
    case 0x73757245: // Coda
    case 0x564C:     // NCP
    case 0x47504653: // GPFS
    case 0x0BD00BD0: // Lustre
        return true;
    default:
        return false;
    }
}

} // namespace

FolderWatch::FolderWatch(const QString& folder) : m_path(QFile::encodeName(folder))
{
    while (m_path.size() > 1 && m_path.endsWith('/'))
        m_path.chop(1);
}

FolderWatch::~FolderWatch()
{
    close();
}

void FolderWatch::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_armed = false;
}

bool FolderWatch::rearm()
{
    // A fresh watch each time: nothing queued before this moment can be
    // mistaken for something after it, and the path is looked up anew.
    close();
    struct stat link;
    struct statfs fs;
    if (lstat(m_path.constData(), &link) != 0 || !S_ISDIR(link.st_mode) ||
        statfs(m_path.constData(), &fs) != 0 || changesUnseen(fs.f_type))
        return false;
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return false;
    if (inotify_add_watch(m_fd, m_path.constData(), kEvents | IN_DONT_FOLLOW) < 0) {
        close();
        return false;
    }
    // The watched folder is the one whose identity is kept; a path whose
    // parents are later pointed elsewhere no longer leads to it.
    struct stat st;
    if (stat(m_path.constData(), &st) != 0) {
        close();
        return false;
    }
    m_device = st.st_dev;
    m_inode = st.st_ino;
    m_armed = true;
    return true;
}

bool FolderWatch::drain()
{
    alignas(struct inotify_event) char buffer[4096];
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return true;
    return false; // an event, an overflow, or a broken watch
}

bool FolderWatch::unchanged()
{
    if (!m_armed)
        return false;
    if (!drain()) {
        close();
        return false;
    }
    struct stat st;
    if (stat(m_path.constData(), &st) != 0 || st.st_dev != m_device || st.st_ino != m_inode) {
        close();
        return false;
    }
    return true;
}
