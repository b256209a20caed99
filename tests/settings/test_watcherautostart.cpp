#include "watcherautostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Start
{
    QString program;
    QStringList arguments;
    QString folder;
};

class WatcherAutostartTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_savedConfig); }

    QString configHome() const { return m_home.path() + "/config"; }
    QString autostart() const { return configHome() + "/autostart"; }
    QString programFolder() const { return m_home.path() + "/Quill mur"; }

    WatcherAutostart::Starter recorder(bool succeed = true)
    {
        return [this, succeed](const QString& p, const QStringList& a, const QString& f) {
            m_starts.push_back({p, a, f});
            return succeed;
        };
    }

    QTemporaryDir m_home;
    QByteArray m_savedConfig;
    std::vector<Start> m_starts;
};

TEST_F(WatcherAutostartTest, TwoRunsLeaveOneEntryAndStartTheWatcherTwice)
{
    QDir().mkpath(programFolder() + "/Data");
    QFile icon(programFolder() + "/Data/vestrel.png");
    ASSERT_TRUE(icon.open(QIODevice::WriteOnly));
    icon.close();

    const WatcherAutostart autostart(programFolder(), recorder());
    for (int run = 0; run < 2; ++run) {
        const WatcherAutostart::Outcome outcome = autostart.run();
        EXPECT_TRUE(outcome.link.ok());
        EXPECT_TRUE(outcome.started);
        EXPECT_EQ(outcome.hint(), "");
    }
    const QString file = WatcherAutostart::kEntryName + ".desktop";
    EXPECT_EQ(QDir(this->autostart()).entryList(QDir::Files | QDir::Hidden), QStringList{file});

    QFile entry(this->autostart() + "/" + file);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains("\nName=Предупредить о назначенном задании\n"));
    // Started at log-on with a normal window: no -minimized there.
    EXPECT_TRUE(text.contains("\nExec=\"" + programFolder() + "/Vestrel\"\n"));
    EXPECT_TRUE(text.contains("\nPath=" + programFolder() + "\n"));
    EXPECT_TRUE(text.contains("\nIcon=" + programFolder() + "/Data/vestrel.png\n"));

    ASSERT_EQ(m_starts.size(), 2u);
    for (const Start& s : m_starts) {
        EXPECT_EQ(s.program, programFolder() + "/Vestrel");
        EXPECT_EQ(s.arguments, QStringList{"-minimized"});
        EXPECT_EQ(s.folder, programFolder());
    }
}

TEST_F(WatcherAutostartTest, IconFallsBackToTheMainProgramsPicture)
{
    const WatcherAutostart autostart(programFolder(), recorder());
    EXPECT_EQ(autostart.iconPath(), programFolder() + "/Data/quillmur.png");
}

TEST_F(WatcherAutostartTest, FailuresBecomeHints)
{
    QFile blocker(configHome());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const WatcherAutostart::Outcome unwritable =
        WatcherAutostart(programFolder(), recorder()).run();
    EXPECT_FALSE(unwritable.link.ok());
    EXPECT_TRUE(unwritable.started) << "watching starts all the same";
    EXPECT_TRUE(unwritable.hint().contains(autostart())) << unwritable.hint().toStdString();
    EXPECT_FALSE(unwritable.hint().contains("Vestrel"));

    const WatcherAutostart::Outcome both = WatcherAutostart(programFolder(), recorder(false)).run();
    EXPECT_TRUE(both.hint().contains(autostart()));
    EXPECT_TRUE(both.hint().contains("Не удалось запустить Vestrel."));

    ASSERT_TRUE(QFile::remove(configHome()));
    const WatcherAutostart::Outcome notStarted =
        WatcherAutostart(programFolder(), recorder(false)).run();
    EXPECT_TRUE(notStarted.link.ok());
    EXPECT_EQ(notStarted.hint(), "Не удалось запустить Vestrel.");
}

} // namespace
