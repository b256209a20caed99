#include "startpicture.h"

#include "animation.h"
#include "gifctl.h"
#include "pickgiffile.h"
#include "pressable.h"
#include "settingsfile.h"

#include <QFileInfo>

StartPicture::StartPicture(FileDialogRunner fileDialog, QWidget* panel)
    : QLabel(panel), m_fileDialog(std::move(fileDialog))
{
    setObjectName(QStringLiteral("fonMeny"));
    setGeometry(panel->rect());
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_gifCtl2 = Animation::make(panel, 2, true);
    m_gifCtl2->move(panel->width() - m_gifCtl2->width() - 8, 8);
    connect(m_gifCtl2, &GifCtl::Click, this, &StartPicture::pickAnimation);
    Pressable::mark(m_gifCtl2, QStringLiteral("Выбрать анимацию заставки"));
}

void StartPicture::load(const QString& programFolder, const QString& settingsLine)
{
    QPixmap picture(programFolder + "/Data/1.jpg");
    const QString name = SettingsFile::pictureName(settingsLine);
    // A name cut to six characters may end in CR or LF; such a name is not a file.
    if (!name.trimmed().isEmpty() && !name.contains(QLatin1Char('\r')) &&
        !name.contains(QLatin1Char('\n'))) {
        // Only the exact file: Qt would otherwise try "sunset" + ".bmp".
        const QString file = programFolder + "/Picture/" + name;
        const QPixmap chosen = QFileInfo(file).isFile() ? QPixmap(file) : QPixmap();
        if (!chosen.isNull())
            picture = chosen;
    }
    setPixmap(picture);
}

void StartPicture::pickAnimation()
{
    const QString file = PickGifFile(m_fileDialog);
    if (file.isEmpty())
        return;
    // A refused file says why and leaves the animation that was shown.
    const QByteArray shown = m_gifCtl2->GIFdata();
    if (!m_gifCtl2->LoadFile(file)) {
        const GifError error = m_gifCtl2->decodeError();
        m_gifCtl2->LoadData(shown);
        emit hintChanged(GifRefusedHint(error));
    }
}

void StartPicture::mouseDoubleClickEvent(QMouseEvent*)
{
    pickAnimation();
}
