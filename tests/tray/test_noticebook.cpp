// The desktop notices of the due tasks: what the server is told on each tick
// and on its answers, and the text a notice shows.
#include "noticebook.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString describe(const NoticeBook::Step& s)
{
    return QStringLiteral("%1 %2 %3")
        .arg(s.kind == NoticeBook::Step::Kind::Show ? "show" : "close", s.name)
        .arg(s.id);
}

QStringList describe(const std::vector<NoticeBook::Step>& steps)
{
    QStringList out;
    for (const auto& s : steps)
        out << describe(s);
    return out;
}

QList<DueNotice> dueList(const QStringList& names)
{
    QList<DueNotice> due;
    for (const QString& n : names)
        due.append({n, n + QStringLiteral(" body")});
    return due;
}

// A server as the notifications protocol has it: a new notice
// gets the next number, a replaced one keeps its own.
struct Server
{
    NoticeBook& book;
    quint32 last = 0;
    // Answers every Show of `steps`; returns the Close steps the answers gave.
    QStringList answer(const std::vector<NoticeBook::Step>& steps)
    {
        QStringList late;
        for (const auto& s : steps) {
            if (s.kind != NoticeBook::Step::Kind::Show)
                continue;
            if (const auto c = book.answered(s.request, s.id ? s.id : ++last))
                late << describe(*c);
        }
        return late;
    }
};

} // namespace

TEST(NoticeBook, OneNoticePerDueTaskOverTheTicks)
{
    const struct
    {
        const char* what;
        QStringList due;
        bool enabled;
        QStringList steps;
    } ticks[] = {
        {"a task falls due", {"a"}, true, {"show a 0"}},
        {"still due: updated in place", {"a"}, true, {"show a 1"}},
        {"and again, never a second notice", {"a"}, true, {"show a 1"}},
        {"a second task falls due", {"a", "b"}, true, {"show a 1", "show b 0"}},
        {"the first is gone", {"b"}, true, {"close a 1", "show b 2"}},
        {"notices turned off", {"b"}, false, {"close b 2"}},
        {"still off", {"b"}, false, {}},
        {"on again: a fresh notice", {"b"}, true, {"show b 0"}},
        {"nothing due", {}, true, {"close b 3"}},
        {"nothing due, nothing shown", {}, true, {}},
    };
    NoticeBook book;
    Server server{book};
    for (const auto& t : ticks) {
        SCOPED_TRACE(t.what);
        const auto steps = book.tick(dueList(t.due), t.enabled);
        EXPECT_EQ(describe(steps), t.steps);
        for (const auto& s : steps) {
            if (s.kind == NoticeBook::Step::Kind::Show) {
                EXPECT_EQ(s.body, s.name + " body");
            }
        }
        EXPECT_EQ(server.answer(steps), QStringList());
    }
    EXPECT_TRUE(book.isEmpty());
}

TEST(NoticeBook, AnswersClosingsAndButtons)
{
    NoticeBook book;
    Server server{book};

    // A slow server: while the first Show is unanswered no second is sent,
    // and a task gone meanwhile has its notice closed on the answer.
    auto pending = book.tick(dueList({"a", "b"}), true);
    EXPECT_EQ(describe(book.tick(dueList({"a", "b"}), true)), QStringList());
    EXPECT_EQ(describe(book.tick(dueList({"a"}), true)), QStringList());
    EXPECT_EQ(server.answer(pending), QStringList({"close  2"}));
    EXPECT_EQ(book.taskOf(1), "a");
    EXPECT_EQ(book.taskOf(2), "");

    // The user closed a's notice: the next tick shows a new one.
    book.closed(1);
    EXPECT_EQ(book.taskOf(1), "");
    auto steps = book.tick(dueList({"a"}), true);
    EXPECT_EQ(describe(steps), QStringList({"show a 0"}));
    server.answer(steps);
    EXPECT_EQ(book.taskOf(3), "a");

    // A failed update keeps the notice it meant to replace; a failed first
    // Show is asked for again.
    steps = book.tick(dueList({"a", "c"}), true);
    EXPECT_EQ(describe(steps), QStringList({"show a 3", "show c 0"}));
    for (const auto& s : steps)
        book.failed(s.request);
    steps = book.tick(dueList({"a", "c"}), true);
    EXPECT_EQ(describe(steps), QStringList({"show a 3", "show c 0"}));
    server.answer(steps);
    EXPECT_EQ(book.taskOf(4), "c");

    // Snoozed through its button while an update is under way: the notice
    // goes at once, and again on the late answer; nothing is left for the
    // next tick.
    steps = book.tick(dueList({"a"}), true);
    EXPECT_EQ(describe(steps), QStringList({"close c 4", "show a 3"}));
    EXPECT_EQ(describe(*book.withdraw("a")), "close a 3");
    EXPECT_FALSE(book.withdraw("a"));
    EXPECT_EQ(server.answer(steps), QStringList({"close  3"}));
    EXPECT_EQ(book.taskOf(3), "");
    EXPECT_EQ(describe(book.tick({}, true)), QStringList());

    // Every button's key is known; other keys ("default", a click on the
    // notice itself) do nothing.
    const QStringList actions = NoticeBook::actions();
    ASSERT_EQ(actions.size(), 6);
    // A repeating task's notice also has "Готово", done for now.
    const QStringList repeating = NoticeBook::actions(true);
    ASSERT_EQ(repeating.size(), 8);
    EXPECT_EQ(repeating.mid(0, 6), actions);
    EXPECT_EQ(repeating[7], QString::fromUtf8("Готово"));
    EXPECT_EQ(NoticeBook::action(repeating[6]), NoticeBook::Action::Done);
    EXPECT_EQ(NoticeBook::action(actions[0]), NoticeBook::Action::Play);
    EXPECT_EQ(NoticeBook::action(actions[2]), NoticeBook::Action::Snooze);
    EXPECT_EQ(NoticeBook::action(actions[4]), NoticeBook::Action::Open);
    EXPECT_EQ(QStringList({actions[1], actions[3], actions[5]}),
              QStringList({"Прослушать", "Отложить на 10 минут", "Открыть"}));
    EXPECT_FALSE(NoticeBook::action("default"));
    EXPECT_FALSE(NoticeBook::action(""));
}

TEST(NoticeBook, Body)
{
    const QDate day(2026, 12, 9);
    const struct
    {
        const char* what;
        QString comment;
        QDate date;
        int hour, minute;
        QString body;
    } cases[] = {
        {"underscores shown as blanks", "Купить_хлеб", day, 14, 30,
         "Купить хлеб\n09.12.2026 14:30"},
        {"markup characters escaped", "a<b>_&_c", day, 14, 30,
         "a&lt;b&gt; &amp; c\n09.12.2026 14:30"},
        {"an entity as typed", "&amp;", day, 14, 30, "&amp;amp;\n09.12.2026 14:30"},
        {"no comment: the moment alone", "", day, 14, 30, "09.12.2026 14:30"},
        {"two digits everywhere", "x", QDate(2027, 2, 1), 9, 5, "x\n01.02.2027 09:05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NoticeBook::body(c.comment, c.date, c.hour, c.minute), c.body);
    }
}
