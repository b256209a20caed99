#include "id3v2.h"

#include "durablefile.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace Id3v2 {

int setUserText(const QString& path, const QString& description, const QString& value)
{
    const QFileInfo info(path);
    const QString copy =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".tag");
    QFile::remove(copy);
    if (!QFile::copy(path, copy))
        return errno != 0 ? errno : EIO;
    bool saved = false;
    {
        const QByteArray name = QFile::encodeName(copy);
        TagLib::MPEG::File file(name.constData(), false);
        if (file.isValid()) {
            TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
            const TagLib::String wanted(description.toStdString(), TagLib::String::UTF8);
            while (auto* old = TagLib::ID3v2::UserTextIdentificationFrame::find(tag, wanted))
                tag->removeFrame(old);
            if (!value.isEmpty()) {
                auto* frame =
                    new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
                frame->setDescription(wanted);
                frame->setText(TagLib::String(value.toStdString(), TagLib::String::UTF8));
                tag->addFrame(frame);
            }
            // The ID3v2 tag alone, in the version the encoder writes.
            saved = file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                              TagLib::File::DoNotDuplicate);
        }
    }
    int err = saved ? DurableFile::sync(copy) : EINVAL;
    if (err == 0 &&
        std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()) != 0)
        err = errno;
    if (err != 0) {
        QFile::remove(copy);
        return err;
    }
    return DurableFile::syncFolderOf(path);
}

} // namespace Id3v2
