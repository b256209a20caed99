#include "noticebook.h"

#include "taskname.h"

#include <QSet>

namespace {
struct ActionKey
{
    const char* key;
    const char* label;
    NoticeBook::Action action;
};

const ActionKey Actions[] = {
    {"play", "Прослушать", NoticeBook::Action::Play},
    {"snooze", "Отложить на 10 минут", NoticeBook::Action::Snooze},
    {"open", "Открыть", NoticeBook::Action::Open},
    {"done", "Готово", NoticeBook::Action::Done}, // repeating tasks only
};
} // namespace

std::vector<NoticeBook::Step> NoticeBook::tick(const QList<DueNotice>& due, bool enabled)
{
    std::vector<Step> steps;
    QSet<QString> wanted;
    if (enabled) {
        for (const DueNotice& task : due)
            wanted.insert(task.name);
    }
    for (int i = m_entries.size() - 1; i >= 0; --i) {
        if (wanted.contains(m_entries[i].name))
            continue;
        // A Show still under way is closed when its answer comes.
        if (m_entries[i].id != 0)
            steps.push_back(closeStep(m_entries[i]));
        m_entries.removeAt(i);
    }
    if (!enabled)
        return steps;
    for (const DueNotice& task : due) {
        int i = indexOfName(task.name);
        if (i < 0) {
            m_entries.append(Entry{task.name, 0, 0});
            i = m_entries.size() - 1;
        } else if (m_entries[i].pending != 0) {
            continue;
        }
        Entry& entry = m_entries[i];
        entry.pending = ++m_lastRequest;
        steps.push_back(
            Step{Step::Kind::Show, task.name, entry.id, task.body, entry.pending, task.repeats});
    }
    return steps;
}

std::optional<NoticeBook::Step> NoticeBook::answered(quint64 request, quint32 id)
{
    for (Entry& entry : m_entries) {
        if (entry.pending == request) {
            entry.pending = 0;
            entry.id = id;
            return std::nullopt;
        }
    }
    // Shown for a task that is no longer due, or with notices turned off.
    if (id == 0)
        return std::nullopt;
    return Step{Step::Kind::Close, QString(), id, QString(), 0};
}

void NoticeBook::failed(quint64 request)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].pending != request)
            continue;
        if (m_entries[i].id == 0)
            m_entries.removeAt(i);
        else
            m_entries[i].pending = 0;
        return;
    }
}

void NoticeBook::closed(quint32 id)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].id != id)
            continue;
        // With an update under way its answer brings the new notice.
        if (m_entries[i].pending != 0)
            m_entries[i].id = 0;
        else
            m_entries.removeAt(i);
        return;
    }
}

std::optional<NoticeBook::Step> NoticeBook::withdraw(const QString& name)
{
    const int i = indexOfName(name);
    if (i < 0)
        return std::nullopt;
    const Entry entry = m_entries.takeAt(i);
    if (entry.id == 0)
        return std::nullopt;
    return closeStep(entry);
}

QString NoticeBook::taskOf(quint32 id) const
{
    if (id == 0)
        return QString();
    for (const Entry& entry : m_entries) {
        if (entry.id == id)
            return entry.name;
    }
    return QString();
}

int NoticeBook::indexOfName(const QString& name) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name == name)
            return i;
    }
    return -1;
}

NoticeBook::Step NoticeBook::closeStep(const Entry& entry) const
{
    return Step{Step::Kind::Close, entry.name, entry.id, QString(), 0};
}

QString NoticeBook::summary()
{
    return QStringLiteral("Есть напоминание");
}

QString NoticeBook::body(const QString& comment, const QDate& date, int hour, int minute)
{
    // The comment is typed with underscores for blanks (the tag keeps no
    // blanks in the middle).
    QString text = comment;
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    const QString when =
        QStringLiteral("%1.%2.%3 %4:%5")
            .arg(TaskName::twoDigits(date.day()), TaskName::twoDigits(date.month()))
            .arg(date.year(), 4, 10, QLatin1Char('0'))
            .arg(TaskName::twoDigits(hour), TaskName::twoDigits(minute));
    return text.isEmpty() ? when : text + QLatin1Char('\n') + when;
}

QStringList NoticeBook::actions(bool repeats)
{
    QStringList list;
    for (const ActionKey& a : Actions) {
        if (a.action != Action::Done || repeats)
            list << QString::fromLatin1(a.key) << QString::fromUtf8(a.label);
    }
    return list;
}

std::optional<NoticeBook::Action> NoticeBook::action(const QString& key)
{
    for (const ActionKey& a : Actions) {
        if (key == QLatin1String(a.key))
            return a.action;
    }
    return std::nullopt;
}
