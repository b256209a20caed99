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

// What the lists show of one note, from one opening of its file: its size,
// its head (the ID3v2 tag and the first MPEG frame after it) and its last
// 128 bytes (the ID3v1 tag). Anything but a regular file is not read, and a
// FIFO under a task's name is never waited on.
void readNote(int folder, const QString& path, const QString& name, Entry& e, ContentId id)
{
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
        e.contentId = contentId(size, head, last);
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
    const auto hand = [&](Entry& e) {
        if (folder >= 0)
            readNote(folder, mediaFolder + e.file, e.file, e, id);
        each(e);
    };
    for (const Name& n : names) {
        Entry e;
        e.file = sorted.at(n.index).toString();
        e.state = State(n.state);
        e.due = n.offset == kLocal
                    ? QDateTime::fromMSecsSinceEpoch(n.dueMs, Qt::LocalTime)
                    : QDateTime::fromMSecsSinceEpoch(n.dueMs, Qt::OffsetFromUTC, n.offset);
        hand(e);
    }
    for (const quint32 i : bad) {
        Entry e;
        e.file = sorted.at(i).toString();
        hand(e);
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
