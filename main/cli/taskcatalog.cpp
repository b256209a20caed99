#include "taskcatalog.h"

#include "id3v1tag.h"
#include "leadingnumber.h"
#include "mp3inforeader.h"
#include "rekrusiy.h"
#include "sha1.h"
#include "tasklists.h"
#include "taskname.h"
#include "taskrepeat.h"

#include <QByteArrayView>
#include <QFile>
#include <QHash>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace TaskCatalog {

namespace {

constexpr qint64 kIdHead = kContentIdHead;
constexpr int kLocal = INT_MIN;

// Local moments of the tasks' names. Most days have one offset from UTC all
// day: it is looked up once a day, and the day's moments are plain sums. A
// day on which the clocks change takes the full rule (a skipped time is the
// first minute after it, a doubled hour its first occurrence).
class Moments
{
public:
    QDateTime of(const TaskName::Parsed& task)
    {
        auto it = m_offsets.constFind(task.date.toJulianDay());
        if (it == m_offsets.constEnd()) {
            const QDateTime first(task.date, QTime(0, 0));
            const QDateTime last(task.date, QTime(23, 59, 59));
            const bool steady =
                first.isValid() && last.isValid() && first.offsetFromUtc() == last.offsetFromUtc();
            it = m_offsets.insert(task.date.toJulianDay(),
                                  steady ? first.offsetFromUtc() : kChanging);
        }
        if (*it == kChanging)
            return task.moment();
        return QDateTime(task.date, QTime(task.hour, task.minute, task.second), Qt::OffsetFromUTC,
                         *it);
    }

private:
    static constexpr int kChanging = kLocal;
    QHash<qint64, int> m_offsets;
};

// How many notes' ids are hashed at once on the second thread.
constexpr size_t kIdBatch = 256;

// One job at a time on a thread of its own.
class SecondThread
{
public:
    SecondThread() : m_thread([this] { run(); }) {}
    ~SecondThread()
    {
        wait();
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    void start(std::function<void()> job)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_job = std::move(job);
        }
        m_changed.notify_all();
    }
    // Until the job started last is done.
    void wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_job; });
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_quit || m_job; });
            if (!m_job)
                return;
            lock.unlock();
            m_job();
            lock.lock();
            m_job = nullptr;
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;
    bool m_quit = false;
    std::thread m_thread; // last: starts once the rest is made
};

// What a note's content id is made of, kept from its reading until it is
// hashed (see contentId()).
struct IdInput
{
    qint64 size = -1; // -1: not read
    QByteArray head;
    QByteArray last;

    QByteArray id() const { return size < 0 ? QByteArray() : contentId(size, head, last); }
};

// What the lists show of one note, from one opening of its file: its size,
// its head (the ID3v2 tag and the first MPEG frame after it) and its last
// 128 bytes (the ID3v1 tag). Anything but a regular file is not read, and a
// FIFO under a task's name is never waited on.
// With `idInput`, also what its content id is made of.
void readNote(int folder, const QString& path, const QString& name, Entry& e, IdInput* idInput)
{
    const ContentId id = idInput ? ContentId::Read : ContentId::Skip;
    const int fd = ::openat(folder, QFile::encodeName(name).constData(),
                            O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    const qint64 size = st.st_size;
    // The encoder's tag is a few hundred bytes: one read holds it and the
    // first frame's header (and what the content's id is made of).
    const qint64 kHead = id == ContentId::Read ? kIdHead : 8192;
    QByteArray head(int(qMin(size, kHead)), Qt::Uninitialized);
    const ssize_t got = ::pread(fd, head.data(), size_t(head.size()), 0);
    head.truncate(got > 0 ? int(got) : 0);
    const qint64 tagLength = Id3v2Length(head.left(10));
    const qint64 scanFrom = qMin(tagLength, size);
    QByteArray scan;
    // Views into the head where it holds them: nothing is copied.
    if (scanFrom + kMp3ScanBytes <= head.size() || head.size() == size) {
        const int from = int(qMin<qint64>(scanFrom, head.size()));
        scan = QByteArray::fromRawData(head.constData() + from,
                                       qMin(kMp3ScanBytes, int(head.size()) - from));
    } else {
        scan.resize(kMp3ScanBytes);
        const ssize_t n = ::pread(fd, scan.data(), kMp3ScanBytes, scanFrom);
        scan.truncate(n > 0 ? int(n) : 0);
    }
    // The repeat rule's frame: its name somewhere in the tag's bytes.
    bool mayRepeat = false;
    if (tagLength > 0) {
        const qint64 body = qMin<qint64>(tagLength - 10, 1 << 20);
        if (10 + body <= head.size()) {
            mayRepeat = QByteArrayView(head).sliced(10, body).contains(RepeatRule::FrameName);
        } else {
            QByteArray tag(int(body), Qt::Uninitialized);
            const ssize_t n = ::pread(fd, tag.data(), size_t(body), 10);
            tag.truncate(n > 0 ? int(n) : 0);
            mayRepeat = tag.contains(RepeatRule::FrameName);
        }
    }
    QByteArray tail;
    if (size >= Id3v1Tag::kSize) {
        if (size == head.size()) {
            tail = QByteArray::fromRawData(head.constData() + head.size() - Id3v1Tag::kSize,
                                           Id3v1Tag::kSize);
        } else {
            tail.resize(Id3v1Tag::kSize);
            if (::pread(fd, tail.data(), Id3v1Tag::kSize, size - Id3v1Tag::kSize) !=
                Id3v1Tag::kSize)
                tail.clear();
        }
    }
    if (id == ContentId::Read && head.size() == qMin(size, kIdHead)) {
        QByteArray last;
        if (size > kIdHead) {
            // The last 128 bytes, or what follows the head when the file is
            // shorter than both.
            const qint64 from = std::max(kIdHead, size - Id3v1Tag::kSize);
            last.resize(int(size - from));
            if (from == size - Id3v1Tag::kSize && tail.size() == Id3v1Tag::kSize)
                last = tail;
            else if (::pread(fd, last.data(), size_t(last.size()), from) != last.size())
                last.clear();
        }
        idInput->size = size;
        idInput->last = last;
        idInput->head = head; // `last` may point into it
    }
    ::close(fd);

    if (const auto tag = Id3v1Tag::parse(tail))
        e.comment = Id3v1Tag::shownComment(path, tag->comment);
    Mp3Info info;
    if (DecodeMp3Info(scan, size, info) && !info.length.isEmpty())
        e.seconds = leadingNumber(info.length);
    if (mayRepeat) {
        const TaskRepeat::Found repeat = TaskRepeat::read(path);
        e.repeat = repeat.rule;
        e.repeatDamaged = repeat.damaged;
    }
}

} // namespace

QByteArray contentId(qint64 size, const QByteArray& head, const QByteArray& last)
{
    Sha1 hash;
    char digits[24];
    hash.add(QByteArrayView(digits, std::snprintf(digits, sizeof digits, "%lld", qlonglong(size))));
    hash.add(head);
    hash.add(last);
    return hash.hex("@quillmur");
}

void forEach(const QString& mediaFolder, const QDateTime& now,
             const std::function<void(const Entry&)>& each, ContentId id)
{
    // First the names alone, sorted by due moment; kept small, as only the
    // names and moments of years of notes are held at once: their texts in
    // one buffer, and for each a moment and where its name is.
    struct Name
    {
        qint64 dueMs = 0;
        qint32 offset = kLocal; // from UTC, seconds; kLocal: a clock-change day's local time
        quint32 index : 30;     // in `sorted`
        quint32 state : 2;      // State
    };
    static_assert(sizeof(Name) == 16, "one name's moment in 16 bytes");
    Moments moments;
    const Rekrusiy::SortedNames sorted = Rekrusiy::sortedNames(mediaFolder, TaskLists::kPattern);
    std::vector<Name> names;
    std::vector<quint32> bad;
    names.reserve(sorted.size());
    for (quint32 i = 0; i < sorted.size(); ++i) {
        const auto parsed = TaskName::parse(sorted.at(i).toString());
        if (!parsed) {
            bad.push_back(i);
            continue;
        }
        Name n;
        n.index = i;
        const QDateTime due = moments.of(*parsed);
        n.dueMs = due.toMSecsSinceEpoch();
        // A steady day's moment has a fixed offset (Qt calls an offset of
        // zero UTC).
        if (due.timeSpec() != Qt::LocalTime)
            n.offset = due.offsetFromUtc();
        State state = State::Later;
        if (TaskName::isDue(*parsed, now))
            state = State::Past;
        else if (TaskName::classify(parsed->date, now.date()) == TaskName::Day::Today)
            state = State::Today;
        n.state = quint32(state);
        names.push_back(n);
    }
    // The names are in name order already, so equal moments keep it.
    std::sort(names.begin(), names.end(), [](const Name& a, const Name& b) {
        return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.index < b.index;
    });

    // Then each file once, in that order.
    const int folder =
        ::open(QFile::encodeName(mediaFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const size_t total = names.size() + bad.size();
    const auto entryAt = [&](size_t i) {
        Entry e;
        if (i >= names.size()) {
            e.file = sorted.at(bad[i - names.size()]).toString();
            return e;
        }
        const Name& n = names[i];
        e.file = sorted.at(n.index).toString();
        e.state = State(n.state);
        e.due = n.offset == kLocal
                    ? QDateTime::fromMSecsSinceEpoch(n.dueMs, Qt::LocalTime)
                    : QDateTime::fromMSecsSinceEpoch(n.dueMs, Qt::OffsetFromUTC, n.offset);
        return e;
    };
    const auto read = [&](Entry& e, IdInput* idInput) {
        if (folder >= 0)
            readNote(folder, mediaFolder + e.file, e.file, e, idInput);
    };
    if (id == ContentId::Skip || total <= kIdBatch) {
        for (size_t i = 0; i < total; ++i) {
            Entry e = entryAt(i);
            IdInput idInput;
            read(e, id == ContentId::Read ? &idInput : nullptr);
            e.contentId = idInput.id();
            each(e);
        }
    } else {
        // The ids of one batch are hashed on a second thread while the next
        // batch is read and the one before it handed on.
        struct Pending
        {
            Entry entry;
            IdInput idInput;
        };
        // Two batches, each of which stays where the second thread was
        // told to look for it.
        std::vector<Pending> batches[2];
        size_t i = 0;
        const auto fill = [&](std::vector<Pending>& batch) {
            batch.clear();
            for (; i < total && batch.size() < kIdBatch; ++i) {
                batch.push_back({entryAt(i), {}});
                read(batch.back().entry, &batch.back().idInput);
            }
        };
        const auto hash = [](std::vector<Pending>* batch) {
            return [batch] {
                for (Pending& p : *batch)
                    p.entry.contentId = p.idInput.id();
            };
        };
        SecondThread hasher;
        fill(batches[0]);
        hasher.start(hash(&batches[0]));
        for (int k = 0; !batches[k].empty(); k = 1 - k) {
            std::vector<Pending>& next = batches[1 - k];
            fill(next);
            hasher.wait();
            if (!next.empty())
                hasher.start(hash(&next));
            for (const Pending& p : batches[k])
                each(p.entry);
        }
    }
    if (folder >= 0)
        ::close(folder);
}

QList<Entry> read(const QString& mediaFolder, const QDateTime& now)
{
    QList<Entry> entries;
    forEach(mediaFolder, now, [&entries](const Entry& e) { entries << e; });
    return entries;
}

QString stateKey(State state)
{
    switch (state) {
    case State::Past:
        return QStringLiteral("past");
    case State::Today:
        return QStringLiteral("today");
    case State::Later:
        return QStringLiteral("later");
    case State::BadName:
        break;
    }
    return QStringLiteral("bad");
}

} // namespace TaskCatalog
