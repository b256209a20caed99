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

TEST(SettingsFile, UnwritableFolderIsReportedNotCrashed)
{
    // A file where the Data folder should be: no rights can make that writable.
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/Data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    EXPECT_FALSE(SettingsFile::write(dir.path(), QStringLiteral("17.bmp")));
    EXPECT_FALSE(SettingsFile::read(dir.path()));
    EXPECT_EQ(readAll(dir.path() + "/Data"), QByteArray("not a folder"));
}
