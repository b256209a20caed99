#include "id3v2.h"

#include <QFile>

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

namespace Id3v2 {

std::optional<QString> comment(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // Tags only: the audio is never decoded or measured here.
    TagLib::MPEG::File file(name.constData(), false);
    if (!file.isValid() || !file.hasID3v2Tag())
        return std::nullopt;
    const TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
    for (const TagLib::ID3v2::Frame* frame : tag->frameList("COMM")) {
        const auto* comments = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
        if (comments && comments->description().isEmpty())
            return QString::fromStdString(comments->text().to8Bit(true));
    }
    return std::nullopt;
}

} // namespace Id3v2
