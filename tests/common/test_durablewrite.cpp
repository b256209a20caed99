#include "durablefile.h"
#include "durablewrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <sys/stat.h>

namespace {

// Whole or not at all, with or without Qt: the new content replaces the old,
// a failure leaves the old, and no hidden temporary file stays behind.
TEST(DurableWrite, WholeOrNothing)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/Tinkra.sound";
    const std::string native = QFile::encodeName(path).toStdString();

    const std::string first = "0 37 24248 24248\n8 0 0 0\n";
    ASSERT_EQ(DurableFile::writeWhole(native.c_str(), first.data(), first.size()), 0);
    EXPECT_EQ(DurableFile::write(path, "5 100\n"), 0) << "replaced through the Qt form";
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("5 100\n"));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(native.c_str(), &st), 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // A folder that is not there, a file in the folder's place.
    const std::string missing = native + ".d/levels";
    EXPECT_EQ(DurableFile::writeWhole(missing.c_str(), first.data(), first.size()), ENOENT);
    const std::string underFile = native + "/levels";
    EXPECT_EQ(DurableFile::writeWhole(underFile.c_str(), first.data(), first.size()), ENOTDIR);
    // A folder where the file should be: the rename fails, the temporary goes.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    const std::string taken = QFile::encodeName(dir.path() + "/taken").toStdString();
    EXPECT_EQ(DurableFile::writeWhole(taken.c_str(), first.data(), first.size()), EISDIR);

    QStringList left =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left.join(' '), "Tinkra.sound taken");
}

} // namespace
