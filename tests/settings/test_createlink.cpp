#include "createlink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace {

// Every test gets its own home and XDG folders; the variables are put back.
class XdgHome : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            m_saved[v] = qgetenv(v);
        qputenv("HOME", home().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (home() + "/data").toUtf8());
    }
    void TearDown() override
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it)
            qputenv(it.key(), it.value());
    }
    QString home() const { return m_dir.path(); }

    static QMap<QString, QString> readEntry(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        QMap<QString, QString> keys;
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
        EXPECT_EQ(lines.value(0), "[Desktop Entry]");
        for (const QString& line : lines) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                keys[line.left(eq)] = line.mid(eq + 1);
        }
        return keys;
    }

private:
    QTemporaryDir m_dir;
    QMap<const char*, QByteArray> m_saved;
};

const QString kName = QStringLiteral("Предупредить о назначенном задании");

TEST_F(XdgHome, SpecialFoldersFollowXdg)
{
    EXPECT_EQ(Shortcuts::specialFolder(Shortcuts::StartUp), home() + "/config/autostart");
    EXPECT_EQ(Shortcuts::specialFolder(Shortcuts::Programs), home() + "/data/applications");
    EXPECT_EQ(Shortcuts::specialFolder(Shortcuts::StartMenu), home() + "/data/applications");
    EXPECT_EQ(Shortcuts::specialFolder(Shortcuts::Desktop), home() + "/Desktop");
    EXPECT_EQ(Shortcuts::specialFolder(4), "");
    EXPECT_EQ(Shortcuts::specialFolder(-1), "");

    // A relative base is invalid and falls back to the home defaults.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    qputenv("XDG_DATA_HOME", "");
    EXPECT_EQ(Shortcuts::specialFolder(Shortcuts::StartUp), home() + "/.config/autostart");
    EXPECT_EQ(Shortcuts::specialFolder(Shortcuts::Programs), home() + "/.local/share/applications");
}

TEST(Shortcuts, ExecArgumentsAreQuoted)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/q/Vestrel", "/opt/q/Vestrel"},
        {"/home/u/My Programs/Vestrel", "\"/home/u/My Programs/Vestrel\""},
        {"/a$b/c", "\"/a\\$b/c\""},
        {"/a\"b", "\"/a\\\"b\""},
        {"/a`b", "\"/a\\`b\""},
        {"/a\\b", "\"/a\\\\b\""},
        {"/a;b", "\"/a;b\""},
        {"/a'b", "\"/a'b\""},
        {"/100%/x", "/100%%/x"},
        {"/1 00%", "\"/1 00%%\""},
        {"", "\"\""},
    };
    for (const auto& [argument, quoted] : cases)
        EXPECT_EQ(Shortcuts::quoteExecArgument(QString::fromUtf8(argument)),
                  QString::fromUtf8(quoted))
            << argument;
}

TEST(Shortcuts, WindowStyleDecidesTheMinimizedArgument)
{
    const std::pair<qint16, bool> cases[] = {{1, false}, {3, false}, {2, true},
                                             {6, true},  {7, true},  {0, false}};
    for (const auto& [style, minimized] : cases) {
        const QString text =
            QString::fromUtf8(Shortcuts::desktopEntry("n", "/p/Vestrel", "/p/i.png", "/p", style));
        EXPECT_EQ(text.contains("Exec=/p/Vestrel -minimized\n"), minimized) << style;
        EXPECT_EQ(text.contains("Exec=/p/Vestrel\n"), !minimized) << style;
    }
}

TEST_F(XdgHome, AutostartEntryCarriesNameTargetIconAndFolder)
{
    const QString folder = home() + "/Program Folder";
    const Shortcuts::LinkResult r =
        Shortcuts::CreateLink(Shortcuts::StartUp, kName, folder + "/Vestrel", "",
                              folder + "/Data/vestrel.png", folder, "", 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.entry, home() + "/config/autostart/" + kName + ".desktop");
    const auto keys = readEntry(r.entry);
    EXPECT_EQ(keys["Type"], "Application");
    EXPECT_EQ(keys["Name"], kName);
    EXPECT_EQ(keys["Comment"], kName);
    EXPECT_EQ(keys["Exec"], "\"" + folder + "/Vestrel\"");
    EXPECT_EQ(keys["Icon"], folder + "/Data/vestrel.png");
    EXPECT_EQ(keys["Path"], folder);
}

TEST_F(XdgHome, BackslashesAreEscapedTwiceInExec)
{
    const QString folder = home() + "/a\\b c";
    const auto r =
        Shortcuts::CreateLink(Shortcuts::Programs, "x", folder + "/Vestrel", "", "", folder, "", 1);
    ASSERT_TRUE(r.ok());
    const auto keys = readEntry(r.entry);
    // Quoting gives \\ inside the quotes; the string escapes double it again.
    EXPECT_EQ(keys["Exec"], "\"" + home() + "/a\\\\\\\\b c/Vestrel\"");
    EXPECT_EQ(keys["Path"], home() + "/a\\\\b c");
    EXPECT_FALSE(keys.contains("Icon"));
}

TEST_F(XdgHome, SecondRunReplacesTheEntry)
{
    const QString autostart = home() + "/config/autostart";
    ASSERT_TRUE(
        Shortcuts::CreateLink(Shortcuts::StartUp, kName, "/old/Vestrel", "", "", "/old", "", 1)
            .ok());
    const auto r =
        Shortcuts::CreateLink(Shortcuts::StartUp, kName, "/new/Vestrel", "", "", "/new", "", 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(QDir(autostart).entryList(QDir::Files | QDir::Hidden),
              QStringList{kName + ".desktop"});
    EXPECT_EQ(readEntry(r.entry)["Exec"], "/new/Vestrel");
    EXPECT_EQ(readEntry(r.entry)["Path"], "/new");
}

TEST_F(XdgHome, SubFolderIsMadeInsideTheDestination)
{
    const auto r = Shortcuts::CreateLink(Shortcuts::StartMenu, "Quill", "/p/Quillmur", "", "", "/p",
                                         "Напоминания", 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.entry, home() + "/data/applications/Напоминания/Quill.desktop");
    EXPECT_TRUE(QFile::exists(r.entry));
}

TEST_F(XdgHome, DesktopEntriesAreExecutable)
{
    const auto r =
        Shortcuts::CreateLink(Shortcuts::Desktop, "Quill", "/p/Quillmur", "", "", "/p", "", 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.entry, home() + "/Desktop/Quill.desktop");
    EXPECT_TRUE(QFile::permissions(r.entry) & QFile::ExeOwner);
}

TEST_F(XdgHome, UnusableFoldersGiveAFailureValue)
{
    // Plain files where folders should be stop even root from writing.
    QFile blocker(home() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto r = Shortcuts::CreateLink(Shortcuts::StartUp, kName, "/p/Vestrel", "", "", "/p", "", 1);
    EXPECT_EQ(r.status, Shortcuts::LinkResult::FolderUnavailable);
    EXPECT_FALSE(r.ok());

    QDir().mkpath(home() + "/data/applications");
    QFile sub(home() + "/data/applications/taken");
    ASSERT_TRUE(sub.open(QIODevice::WriteOnly));
    sub.close();
    r = Shortcuts::CreateLink(Shortcuts::Programs, "x", "/p/x", "", "", "/p", "taken", 1);
    EXPECT_EQ(r.status, Shortcuts::LinkResult::FolderUnavailable);

    // An entry name that is a folder cannot be replaced by a file.
    QDir().mkpath(home() + "/data/applications/busy.desktop");
    r = Shortcuts::CreateLink(Shortcuts::Programs, "busy", "/p/x", "", "", "/p", "", 1);
    EXPECT_EQ(r.status, Shortcuts::LinkResult::NotSaved);
    EXPECT_EQ(QDir(home() + "/data/applications").entryList(QDir::Files | QDir::Hidden),
              QStringList{"taken"});

    r = Shortcuts::CreateLink(9, "x", "/p/x", "", "", "/p", "", 1);
    EXPECT_EQ(r.status, Shortcuts::LinkResult::UnknownDestination);
}

} // namespace
