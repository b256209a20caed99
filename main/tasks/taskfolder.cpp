#include "taskfolder.h"

#include "tasklists.h"

TaskFolder::TaskFolder(const QString& mediaFolder) : m_folder(mediaFolder), m_watch(mediaFolder) {}

TaskFolder::~TaskFolder()
{
    finishReading();
}

TaskFolder::Read TaskFolder::read()
{
    Read r;
    // Watched from before the first name is read: a change during the
    // reading makes the next call read again.
    r.watched = m_watch.rearm();
    r.listing = Rekrusiy::list(m_folder, TaskLists::kPattern);
    return r;
}

void TaskFolder::keep(Read r)
{
    m_names = std::move(r.listing.names);
    m_kept = r.watched && !r.listing.throughLinks;
}

void TaskFolder::prefetch()
{
    if (m_reader.joinable())
        return;
    m_readAhead = false;
    m_reader = std::thread([this] {
        m_pending = read();
        std::function<void()> done;
        {
            const std::lock_guard<std::mutex> hold(m_doneLock);
            m_readAhead = true;
            done = std::move(m_done);
        }
        if (done)
            done();
    });
}

void TaskFolder::whenRead(std::function<void()> done)
{
    {
        const std::lock_guard<std::mutex> hold(m_doneLock);
        if (!m_readAhead) {
            m_done = std::move(done);
            return;
        }
    }
    done();
}

void TaskFolder::finishReading()
{
    if (!m_reader.joinable())
        return;
    m_reader.join();
    keep(std::move(m_pending));
    m_pending = Read();
}

QStringList TaskFolder::names()
{
    finishReading();
    // A change since the names were read (the prefetch included) reads them
    // again; so does a folder that cannot be watched, every time.
    if (!m_kept || !m_watch.unchanged())
        keep(read());
    return m_names;
}
