#include "settingsfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(SettingsFile, ReadsWritesAndCutsTheName)
{
    QTemporaryDir dir;
    EXPECT_FALSE(SettingsFile::read(dir.path())) << "no Data folder";
    ASSERT_TRUE(QDir(dir.path()).mkdir("Data"));
    EXPECT_FALSE(SettingsFile::read(dir.path())) << "no file";

    ASSERT_TRUE(SettingsFile::write(dir.path(), QStringLiteral("42.bmp")));
    EXPECT_EQ(readAll(dir.path() + "/Data/index.txt"), QByteArray("42.bmp\r\n"));
    EXPECT_EQ(SettingsFile::pictureName(*SettingsFile::read(dir.path())), "42.bmp");

    ASSERT_TRUE(SettingsFile::write(dir.path(), QString()));
    EXPECT_EQ(readAll(dir.path() + "/Data/index.txt"), QByteArray("\r\n"));

    // Cyrillic names travel in Windows-1251.
    ASSERT_TRUE(SettingsFile::write(dir.path(), QStringLiteral("фон.bmp")));
    EXPECT_EQ(readAll(dir.path() + "/Data/index.txt"), QByteArray("\xF4\xEE\xED.bmp\r\n"));
    EXPECT_EQ(*SettingsFile::read(dir.path()), QStringLiteral("фон.bmp\r\n"));

    EXPECT_EQ(SettingsFile::pictureName("sunset.bmp\r\n"), "sunset");
}

TEST(SettingsFile, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("Data"));
    ASSERT_TRUE(SettingsFile::write(dir.path(), QStringLiteral("42.bmp")));
    QFile::setPermissions(dir.path() + "/Data", QFile::ReadOwner | QFile::ExeOwner);
    if (QFile(dir.path() + "/Data/probe").open(QIODevice::WriteOnly))
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_FALSE(SettingsFile::write(dir.path(), QStringLiteral("17.bmp")));
    EXPECT_EQ(readAll(dir.path() + "/Data/index.txt"), QByteArray("42.bmp\r\n"));
    QFile::setPermissions(dir.path() + "/Data",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
