#include "backgroundchooser.h"

#include "backgroundrules.h"
#include "clock.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

const QString BackgroundChooser::kBrowseHint =
    QStringLiteral("Для выбора используйте стрелочки вверх и вниз. Сохранить - ОК-. ");
const QString BackgroundChooser::kNoSavedPictures =
    QStringLiteral("У вас нет сохраненных рисунков ");
const QString BackgroundChooser::kDropHint =
    QStringLiteral("Перетащите нужный файл рисунка на окно,Для сохранения нажмите ОК.");
const QString BackgroundChooser::kDroppedHint =
    QStringLiteral("Когда выбор будет закончен, нажмите ОК для сохранения");
const QString BackgroundChooser::kNoDrop = QStringLiteral("Нет события DragDrop. ");
const QString BackgroundChooser::kNotUprightTitle = QStringLiteral("И как это будет выглядеть?");
const QString BackgroundChooser::kNotUprightText =
    QStringLiteral("Пожалуста используйте картинки у которых высота больше ширины.");

namespace {

const QString kSettingsNotWritten = QStringLiteral("Выбор не сохранен: нет доступа к папке Data.");
const QString kPictureNotWritten =
    QStringLiteral("Рисунок не сохранен: нет доступа к папке Picture.");
const QString kNoFreeName =
    QStringLiteral("Рисунок не сохранен: в папке Picture заняты все сто имен.");

QPushButton* offScreenButton(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->hide();
    return b;
}

} // namespace

BackgroundChooser::BackgroundChooser(Parts parts, QObject* parent)
    : QObject(parent), m_parts(std::move(parts))
{
    Q_ASSERT(m_parts.fonMeny && m_parts.file1 && m_parts.text1 && m_parts.state && m_parts.clock &&
             m_parts.writeSettings);
    QWidget* window = m_parts.fonMeny->window();
    m_command3 = offScreenButton(window, "Command3", QStringLiteral("Вверх"));
    m_command4 = offScreenButton(window, "Command4", QStringLiteral("Вниз"));
    connect(m_command3, &QPushButton::clicked, this, &BackgroundChooser::previous);
    connect(m_command4, &QPushButton::clicked, this, &BackgroundChooser::next);

    m_parts.fonMeny->setAcceptDrops(true);
    m_parts.fonMeny->installEventFilter(this);
}

void BackgroundChooser::browseSaved()
{
    emit hintChanged(kBrowseHint);
    if (m_parts.file1->currentRow() < 0) {
        emit hintChanged(kNoSavedPictures);
        return;
    }
    const QPixmap picture(pictureFolder() + QLatin1Char('/') +
                          m_parts.file1->currentItem()->text());
    if (!picture.isNull())
        m_parts.fonMeny->setPixmap(picture);
    m_parts.fonMeny->parentWidget()->raise();
}

void BackgroundChooser::chooseOwn()
{
    const QPixmap picture(defaultPicture());
    if (!picture.isNull())
        m_parts.fonMeny->setPixmap(picture);
    m_parts.fonMeny->parentWidget()->raise();
    emit hintChanged(kDropHint);
}

void BackgroundChooser::restoreDefault()
{
    // An empty line names the default picture. Nothing else changes when the
    // settings file cannot be written, so what is shown is what start-up loads.
    if (!m_parts.writeSettings(QString())) {
        emit hintChanged(kSettingsNotWritten);
        return;
    }
    m_parts.text1->setText(QString());
    const QPixmap picture(defaultPicture());
    if (!picture.isNull())
        m_parts.fonMeny->setPixmap(picture);
    emit menuRequested();
}

void BackgroundChooser::previous()
{
    if (m_parts.state->panelMode != PanelMode::SavedPictures)
        return;
    const BackgroundRules::Step step =
        BackgroundRules::previous(m_parts.file1->currentRow(), m_parts.file1->count());
    if (step.row < 0)
        return; // no saved pictures: nothing to step through
    if (step.beep)
        beep();
    m_parts.file1->setCurrentRow(step.row);
    showSelected();
}

void BackgroundChooser::next()
{
    if (m_parts.state->panelMode != PanelMode::SavedPictures)
        return;
    const BackgroundRules::Step step =
        BackgroundRules::next(m_parts.file1->currentRow(), m_parts.file1->count());
    if (step.row < 0)
        return;
    if (step.beep)
        beep();
    m_parts.file1->setCurrentRow(step.row);
    showSelected();
}

void BackgroundChooser::showSelected()
{
    const QString name = m_parts.file1->currentItem()->text();
    if (!BackgroundRules::showable(name))
        return;
    const QPixmap picture(pictureFolder() + QLatin1Char('/') + name);
    if (!picture.isNull())
        m_parts.fonMeny->setPixmap(picture);
}

bool BackgroundChooser::handleDrop(const QList<QUrl>& urls)
{
    const QString file = urls.isEmpty() ? QString() : urls.last().toLocalFile();
    // Anything that is not a picture is ignored without a word. The size
    // comes from the file's header, so a photo that is refused is never
    // decoded, and one that is taken is decoded straight to the size shown
    // where the format allows (JPEG does): only that small picture is kept.
    if (file.isEmpty())
        return false;
    QImageReader reader(file);
    QSize size = reader.size();
    QImage whole; // only for formats that cannot tell their size up front
    if (!size.isValid()) {
        whole = reader.read();
        if (whole.isNull())
            return false;
        size = whole.size();
    } else if (!reader.canRead()) {
        return false;
    }

    const QString caption = BackgroundRules::dropCaption(QFileInfo(file).fileName(), size);
    if (m_parts.setCaption)
        m_parts.setCaption(caption);
    else
        m_parts.fonMeny->window()->setWindowTitle(caption);

    if (size.width() >= size.height()) {
        if (m_parts.warn)
            m_parts.warn(kNotUprightTitle, kNotUprightText);
        else
            QMessageBox(QMessageBox::Warning, kNotUprightTitle, kNotUprightText, QMessageBox::Ok,
                        m_parts.fonMeny->window())
                .exec();
        return false;
    }
    // Only the part of the fitted picture that the box shows is made; the
    // box is always filled.
    const QSize box = m_parts.fonMeny->size();
    const QSize fitted = BackgroundRules::coveringSize(size, box);
    const QSize shown = fitted.boundedTo(box);
    const QRect clip(QPoint((fitted.width() - shown.width()) / 2, 0), shown);
    QImage picture;
    if (whole.isNull()) {
        reader.setScaledSize(fitted);
        reader.setScaledClipRect(clip);
        picture = reader.read();
    } else {
        picture = whole.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).copy(clip);
        whole = QImage();
    }
    if (picture.isNull())
        return false; // the header was fine, the data are not
    if (picture.size() != shown)
        picture = picture.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_parts.fonMeny->clear();
    fitDroppedPicture(picture);
    m_parts.state->panelMode = PanelMode::DroppedPicture;
    emit hintChanged(kDroppedHint);
    return true;
}

void BackgroundChooser::fitDroppedPicture(const QImage& fitted)
{
    // The box's full picture: the dropped one across its width, cut at the
    // bottom when it is taller than the box, black below when shorter.
    QImage composed(m_parts.fonMeny->size(), QImage::Format_RGB32);
    composed.fill(Qt::black);
    QPainter p(&composed);
    p.drawImage(QPoint(0, 0), fitted);
    p.end();
    // Kept apart: what the box shows may get the menu's captions on top.
    m_dropped = composed;
    m_parts.fonMeny->setPixmap(QPixmap::fromImage(composed));
}

bool BackgroundChooser::confirm()
{
    switch (m_parts.state->panelMode) {
    case PanelMode::SavedPictures:
        keepSavedChoice();
        return true;
    case PanelMode::OwnPicture: {
        const QPixmap dimmed = m_parts.picProzr ? m_parts.picProzr->pixmap() : QPixmap();
        if (!dimmed.isNull())
            m_parts.fonMeny->setPixmap(dimmed);
        emit menuRequested();
        emit hintChanged(kNoDrop);
        return true;
    }
    case PanelMode::DroppedPicture:
        keepDroppedPicture();
        return true;
    default:
        return false;
    }
}

void BackgroundChooser::keepSavedChoice()
{
    QListWidgetItem* item = m_parts.file1->currentItem();
    // With no saved pictures there is no choice to keep.
    if (item) {
        if (!m_parts.writeSettings(item->text())) {
            emit hintChanged(kSettingsNotWritten);
            return;
        }
        m_parts.text1->setText(item->text());
    }
    m_parts.state->panelMode = PanelMode::TaskList;
    emit menuRequested();
}

void BackgroundChooser::keepDroppedPicture()
{
    const QDir folder(pictureFolder());
    if (!QFileInfo(folder.path()).isDir()) {
        emit hintChanged(kPictureNotWritten);
        return;
    }
    const int seconds = m_parts.clock->now().time().second();
    // Never replace a picture kept earlier; NewOnly also closes the gap
    // between the look-up and the creation.
    std::optional<QString> name;
    QFile file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = BackgroundRules::freePictureName(
            seconds, [&](const QString& n) { return QFileInfo::exists(folder.filePath(n)); });
        if (!name)
            break;
        file.setFileName(folder.filePath(*name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!QFileInfo::exists(file.fileName())) {
            emit hintChanged(kPictureNotWritten);
            return;
        }
    }
    if (!name) {
        emit hintChanged(kNoFreeName);
        return;
    }
    if (!file.isOpen()) {
        emit hintChanged(kPictureNotWritten);
        return;
    }
    const QImage picture = m_dropped.isNull() ? m_parts.fonMeny->pixmap().toImage() : m_dropped;
    const bool saved = picture.save(&file, "BMP");
    const bool flushed = file.flush();
    file.close();
    if (!saved || !flushed || file.error() != QFileDevice::NoError) {
        file.remove();
        emit hintChanged(kPictureNotWritten);
        return;
    }
    // The settings file names the picture, or the picture goes again.
    if (!m_parts.writeSettings(*name)) {
        file.remove();
        emit hintChanged(kSettingsNotWritten);
        return;
    }
    m_parts.text1->setText(*name);
    m_parts.state->panelMode = PanelMode::TaskList;
    m_dropped = QImage();
    // The caption told the dropped picture's size; it is the program's again.
    if (m_parts.setCaption)
        m_parts.setCaption(QStringLiteral("Quillmur"));
    else
        m_parts.fonMeny->window()->setWindowTitle(QStringLiteral("Quillmur"));
    refreshPictureList(*name);
    emit menuRequested();
}

void BackgroundChooser::refreshPictureList(const QString& name)
{
    QListWidget* list = m_parts.file1;
    list->clear();
    const QDir dir(pictureFolder());
    if (!dir.exists())
        return;
    list->addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    if (!name.isEmpty() && !found.isEmpty())
        list->setCurrentItem(found.first());
    else if (list->count() > 0)
        list->setCurrentRow(0);
}

QString BackgroundChooser::defaultPicture() const
{
    return m_parts.programFolder + QLatin1String("/Data/1.jpg");
}

void BackgroundChooser::beep()
{
    if (m_parts.beep)
        m_parts.beep();
    else
        QApplication::beep();
}

bool BackgroundChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_parts.fonMeny)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (e->mimeData()->hasUrls()) {
            e->acceptProposedAction();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QList<QUrl> urls = e->mimeData()->urls();
        e->acceptProposedAction();
        // Finish the drag first: the handling may open a message box.
        QTimer::singleShot(0, this, [this, urls] { handleDrop(urls); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
