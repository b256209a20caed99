#include "cdlopensave.h"
#include "pickgiffile.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

// A runner that records the request and answers as told.
struct FakeRunner
{
    std::vector<FileDialogRequest> requests;
    std::optional<QString> answer;
    FileDialogRunner runner()
    {
        return [this](const FileDialogRequest& r) {
            requests.push_back(r);
            return answer;
        };
    }
};

TEST(CdlOpenSave, FilterSplitsIntoPairs)
{
    struct Case
    {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"Text|*.txt|All|*.*", {"Text (*.txt)", "All (*.*)"}},
        {"*.mp3", {"*.mp3 (*.mp3)"}},
        {"Pictures|*.gif;*.png", {"Pictures (*.gif *.png)"}},
        {"MP3|*.mp3|Odd", {"MP3 (*.mp3)", "Odd (Odd)"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CdlOpenSave::splitFilter(c.filter), c.expected) << c.filter.toStdString();
}

TEST(CdlOpenSave, RequestCarriesTheProperties)
{
    FakeRunner fake;
    CdlOpenSave dlg(fake.runner());
    dlg.setFilter("Text|*.txt|All|*.*");
    dlg.setFilterIndex(2);
    dlg.setFileName("draft");
    dlg.setDefaultExt("txt");
    dlg.setflags(0x2 | 0x20 | 0x40 | 0x80);
    dlg.ShowSave();
    ASSERT_EQ(fake.requests.size(), 1u);
    const FileDialogRequest& r = fake.requests[0];
    EXPECT_EQ(r.kind, FileDialogRequest::Save);
    EXPECT_EQ(r.filters, (QStringList{"Text (*.txt)", "All (*.*)"}));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.fileName, "draft");
    EXPECT_EQ(r.defaultSuffix, "txt");
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_EQ(r.initialDir, QCoreApplication::applicationDirPath()); // InitDir empty
    EXPECT_TRUE(r.title.isEmpty());

    dlg.setInitDir("/music");
    dlg.setflags(0);
    dlg.ShowOpen();
    EXPECT_EQ(fake.requests[1].kind, FileDialogRequest::Open);
    EXPECT_EQ(fake.requests[1].initialDir, "/music");
    EXPECT_FALSE(fake.requests[1].confirmOverwrite);
    EXPECT_FALSE(fake.requests[1].fileMustExist);
}

TEST(CdlOpenSave, ResultsAndCancel)
{
    FakeRunner fake;
    CdlOpenSave dlg(fake.runner());
    fake.answer = QStringLiteral("/home/u/Notes/a.mp3");
    EXPECT_EQ(dlg.ShowSave(), CdlOpenSave::Result::Ok);
    EXPECT_EQ(dlg.FileName(), "/home/u/Notes/a.mp3");
    EXPECT_EQ(dlg.FileTitle(), "a.mp3");
    EXPECT_EQ(CdlOpenSave::lastSaveTitle(), "a.mp3");

    fake.answer = QStringLiteral("/tmp/b.txt");
    EXPECT_EQ(dlg.ShowOpen(), CdlOpenSave::Result::Ok);
    EXPECT_EQ(dlg.FileTitle(), "b.txt");
    EXPECT_EQ(CdlOpenSave::lastSaveTitle(), "a.mp3"); // only saves set it

    fake.answer.reset();
    dlg.setFileName("");
    EXPECT_EQ(dlg.ShowSave(), CdlOpenSave::Result::Cancelled);
    EXPECT_EQ(dlg.FileName(), ""); // unchanged
    dlg.setCancelError(true);
    EXPECT_EQ(dlg.ShowOpen(), CdlOpenSave::Result::CancelError);
}

TEST(CdlOpenSave, OverlongFileNameIsRefusedBeforeAnyDialog)
{
    FakeRunner fake;
    CdlOpenSave dlg(fake.runner());
    dlg.setFileName(QString(256, 'x'));
    EXPECT_EQ(dlg.ShowOpen(), CdlOpenSave::Result::InvalidFileName);
    EXPECT_TRUE(fake.requests.empty());
    dlg.setFileName(QString(255, 'x'));
    dlg.ShowOpen();
    EXPECT_EQ(fake.requests.size(), 1u);
}

TEST(CdlOpenSave, ActionRunsTheDialog)
{
    FakeRunner fake;
    CdlOpenSave dlg(fake.runner());
    dlg.setAction(1);
    dlg.setAction(2);
    dlg.setAction(3);
    ASSERT_EQ(fake.requests.size(), 2u);
    EXPECT_EQ(fake.requests[0].kind, FileDialogRequest::Open);
    EXPECT_EQ(fake.requests[1].kind, FileDialogRequest::Save);
}

TEST(PickGifFile, AsksForGifsAndKeepsNothingOnCancel)
{
    FakeRunner fake;
    fake.answer = QStringLiteral("  /pics/cat.gif ");
    EXPECT_EQ(PickGifFile(fake.runner()), "/pics/cat.gif");
    ASSERT_EQ(fake.requests.size(), 1u);
    const FileDialogRequest& r = fake.requests[0];
    EXPECT_EQ(r.kind, FileDialogRequest::Open);
    EXPECT_EQ(r.title, QStringLiteral("Ищем Графические файлы"));
    EXPECT_EQ(r.filters, QStringList{QStringLiteral("Анимированные GIF  (*.gif)")});
    EXPECT_EQ(r.initialDir, QDir::currentPath());
    EXPECT_EQ(LastPickedGifFile(), "/pics/cat.gif");

    fake.answer.reset();
    EXPECT_EQ(PickGifFile(fake.runner()), ""); // the caller loads nothing
    EXPECT_EQ(LastPickedGifFile(), "/pics/cat.gif");
}

} // namespace
