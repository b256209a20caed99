#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One due task as its desktop notice shows it.
struct DueNotice
{
    QString name; // the task file's name in Media/
    QString body;
    bool repeats = false; // a repeating task: its notice offers "Готово"
};

// Which desktop notice shows which due task, and what to tell the
// notification server so that each due task has exactly one notice: shown
// when the task falls due, updated in place on every tick while it stays
// due, withdrawn once the task is gone. Knows nothing of the bus: the owner
// sends the steps and reports the server's answers back.
class NoticeBook
{
public:
    struct Step
    {
        enum class Kind { Show, Close };
        Kind kind = Kind::Show;
        QString name;         // the task (empty for a late answer nobody wants)
        quint32 id = 0;       // Show: the notice it replaces, 0 for a new one; Close: the notice
        QString body;         // Show only
        quint64 request = 0;  // Show only: handed back with the server's answer
        bool repeats = false; // Show only: the task repeats
    };
    enum class Action { Play, Snooze, Open, Done };

    // One tick with the due tasks in the order to show them. With notices
    // off every notice goes and none is shown. A task whose notice was asked
    // for and not yet answered is left alone, so a slow server never gets a
    // second notice for it.
    std::vector<Step> tick(const QList<DueNotice>& due, bool enabled);
    // The server answered the Show of `request` with the notice `id`. A
    // Close step when that task was given up in the meantime.
    std::optional<Step> answered(quint64 request, quint32 id);
    // The Show of `request` failed: the next tick asks again.
    void failed(quint64 request);
    // The server took notice `id` away (closed by the user, expired).
    void closed(quint32 id);
    // The server left the bus, and its notices with it.
    void clear() { m_entries.clear(); }
    // The task was moved by the notice's own action: its notice goes now,
    // not a minute later.
    std::optional<Step> withdraw(const QString& name);

    // The task of notice `id`; empty when the notice is not one of ours.
    QString taskOf(quint32 id) const;
    bool isEmpty() const { return m_entries.isEmpty(); }

    static QString summary();
    // "Купить хлеб\n09.12.2026 14:30": the comment with its underscores as
    // blanks, then the due moment. <, > and & are escaped: servers read the
    // body as markup, even some that do not say so (dunst drops "<x>" from
    // a plain body), so the comment shows as typed.
    static QString body(const QString& comment, const QDate& date, int hour, int minute);
    // The buttons as the Notify call lists them: key, label, key, label, ...
    // A repeating task's notice has "Готово" too: done for now, on to its
    // next time.
    static QStringList actions(bool repeats = false);
    static std::optional<Action> action(const QString& key);

private:
    struct Entry
    {
        QString name;
        quint32 id = 0;      // 0 until the server has answered the first Show
        quint64 pending = 0; // the Show under way, 0 when none
    };
    int indexOfName(const QString& name) const;
    Step closeStep(const Entry& entry) const;

    QList<Entry> m_entries;
    quint64 m_lastRequest = 0;
};
