#include "tasklistpanel.h"

#include "taskrepeat.h"

#include "clock.h"
#include "taskname.h"

#include "folderlisting.h"
#include "id3v1tag.h"
#include "mp3inforeader.h"
#include "playbackbar.h"
#include "pressable.h"
#include "taskdetails.h"
#include "taskfolder.h"
#include "tasklists.h"

#include <QClipboard>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

// A repeating task's line ends in "↻". Its rule is read when the line is
// drawn (only the lines in view are), once a name.
class RepeatMarks : public QStyledItemDelegate
{
public:
    RepeatMarks(std::function<QString()> folder, QObject* parent)
        : QStyledItemDelegate(parent), m_folder(std::move(folder))
    {
    }
    void forget() { m_repeats.clear(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QString name = index.data().toString();
        auto known = m_repeats.constFind(name);
        if (known == m_repeats.constEnd())
            known = m_repeats.insert(name, bool(TaskRepeat::read(m_folder() + name).rule));
        if (!*known)
            return;
        painter->save();
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(option.rect.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("↻"));
        painter->restore();
    }

private:
    std::function<QString()> m_folder;
    mutable QHash<QString, bool> m_repeats;
};

namespace {

constexpr int kCommentLimit = 30;
const QString kCommentStart = QStringLiteral("Коментарии\n");
const QString kNavyGreen = QStringLiteral(
    "background: rgb(0,0,128); color: rgb(0,255,0); border: 1px solid rgb(40,80,160);");

QString selectorStyle(bool lit)
{
    return QStringLiteral("color: rgb(0,0,255); background: %1; padding-left: 3px;")
        .arg(lit ? QStringLiteral("rgb(255,255,192)") : QStringLiteral("rgb(0,255,255)"));
}

} // namespace

TaskListPanel::TaskListPanel(const TaskPanelContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("TaskListPanel"));
    if (!m_context.taskFolder)
        m_context.taskFolder = std::make_shared<TaskFolder>(mediaFolder());
    setFixedSize(200, 300);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    m_bar = new PlaybackBar(context.playback, this);
    m_bar->move(0, 0);
    m_bar->setSelectionSource([this] { return !selectedLine().isEmpty(); },
                              [this] { return m_labLength->text(); });

    QFont small = font();
    small.setPointSize(8);
    for (int i = 0; i < TaskLists::kCount; ++i) {
        auto* l = new QLabel(TaskLists::kind(i)->caption, this);
        l->setObjectName(QStringLiteral("lblToday%1").arg(i));
        l->setGeometry(0, 65 + i * 14, 200, 13);
        l->setFont(small);
        l->setStyleSheet(selectorStyle(i == m_highlighted));
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        Pressable::mark(l, l->text().trimmed(), QAccessible::RadioButton);
        m_selectors.append(l);
    }

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstFiles"));
    m_list->setAccessibleName(QStringLiteral("Список заданий"));
    m_list->setGeometry(0, 123, 200, 94);
    m_list->setFont(small);
    m_list->setStyleSheet(kNavyGreen);
    // The selected line in the list's own colours, focused or not.
    QPalette lp = m_list->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        lp.setColor(group, QPalette::Highlight, QColor(0, 200, 0));
        lp.setColor(group, QPalette::HighlightedText, QColor(0, 0, 128));
    }
    m_list->setPalette(lp);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every line has the same form (a task's name in one font): measured
    // once, not once a line, so years of tasks list at once.
    m_list->setUniformItemSizes(true);
    m_marks = new RepeatMarks([this] { return mediaFolder(); }, m_list);
    m_list->setItemDelegate(m_marks);
    connect(m_list, &QListWidget::currentRowChanged, this, &TaskListPanel::onRowChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TaskListPanel::playFromList);

    m_comment = new QPlainTextEdit(kCommentStart, this);
    m_comment->setObjectName(QStringLiteral("Comment"));
    m_comment->setGeometry(0, 220, 200, 52);
    m_comment->setFont(small);
    m_comment->setStyleSheet(kNavyGreen);
    m_comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_comment, &QPlainTextEdit::textChanged, this, [this] {
        // The box holds at most a comment field's worth of characters.
        const QString text = m_comment->toPlainText();
        if (text.size() > kCommentLimit) {
            m_comment->setPlainText(text.left(kCommentLimit));
            m_comment->moveCursor(QTextCursor::End);
        }
    });

    m_imgSteret = new QLabel(this);
    m_imgSteret->setObjectName(QStringLiteral("imgSteret"));
    m_imgSteret->setGeometry(4, 277, 20, 20);
    m_imgSteret->setPixmap(QPixmap(QStringLiteral(":/art/imgsteret.png")));
    m_imgSteret->setScaledContents(true);
    m_imgSteret->setCursor(Qt::PointingHandCursor);
    m_imgSteret->setToolTip(QStringLiteral("Удалить выбранную задачу"));
    m_imgSteret->installEventFilter(this);
    Pressable::mark(m_imgSteret, m_imgSteret->toolTip());
    auto* label12 = new QLabel(QStringLiteral("Удалить"), this);
    label12->setObjectName(QStringLiteral("Label12"));
    label12->setGeometry(28, 277, 80, 20);
    label12->setFont(small);
    label12->setStyleSheet(QStringLiteral("color: rgb(255,120,100);"));

    // The information frame is never shown; it holds the details other parts read.
    auto* info = new QFrame(this);
    info->setObjectName(QStringLiteral("frmMPEG"));
    info->setToolTip(QStringLiteral("MPEG info"));
    info->hide();
    m_album = new QLineEdit(info);
    m_album->setObjectName(QStringLiteral("Album"));
    m_labSize = new QLabel(QStringLiteral("Size:"), info);
    m_labSize->setObjectName(QStringLiteral("labSize"));
    m_labLength = new QLabel(QStringLiteral("Length:"), info);
    m_labLength->setObjectName(QStringLiteral("labLength"));
}

void TaskListPanel::highlight(int index)
{
    if (index < 0 || index >= m_selectors.size())
        return;
    m_highlighted = index;
    for (int i = 0; i < m_selectors.size(); ++i)
        m_selectors[i]->setStyleSheet(selectorStyle(i == index));
}

void TaskListPanel::showList(int index)
{
    const TaskLists::Kind* kind = TaskLists::kind(index);
    if (!kind || !m_context.clock)
        return;
    m_shown = index;
    m_marks->forget();
    m_list->clear();
    const QStringList names =
        TaskLists::select(index, m_context.taskFolder->names(), *m_context.clock);
    m_list->addItems(names);
    // Every added line re-selects the first one, so a built list always
    // shows the details of its first task; an empty list changes nothing.
    if (!names.isEmpty())
        selectLine(0);
    emit hintChanged(kind->statusPrefix + QString::number(m_list->count()));
}

void TaskListPanel::refresh()
{
    if (!TaskLists::kind(m_shown) || !m_context.clock)
        return;
    const QStringList names =
        TaskLists::select(m_shown, m_context.taskFolder->names(), *m_context.clock);
    if (names == lines())
        return;
    const QString selected = selectedLine();
    const int row = names.indexOf(selected);
    {
        // The same task stays selected: its details and playback stay too.
        const QSignalBlocker quiet(m_list);
        m_marks->forget();
        m_list->clear();
        m_list->addItems(names);
        if (row >= 0)
            m_list->setCurrentRow(row);
    }
    if (row < 0 && !names.isEmpty())
        selectLine(0);
}

void TaskListPanel::selectLine(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    if (m_list->currentRow() == row)
        onRowChanged(row);
    else
        m_list->setCurrentRow(row);
}

QString TaskListPanel::selectedLine() const
{
    const QListWidgetItem* item = m_list->currentRow() >= 0 ? m_list->currentItem() : nullptr;
    return item ? item->text() : QString();
}

QStringList TaskListPanel::lines() const
{
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(m_list->item(i)->text());
    return out;
}

void TaskListPanel::onRowChanged(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    const QString line = m_list->item(row)->text();
    const QString path = mediaFolder() + line;
    m_context.playback.state->selectedFile = path;

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(line);

    if (!m_context.playback.state->selectedFile.isEmpty()) {
        if (const auto tag = Id3v1Tag::read(m_context.playback.state->selectedFile)) {
            m_album->setText(tag->album);
            m_comment->setPlainText(
                Id3v1Tag::shownComment(m_context.playback.state->selectedFile, tag->comment));
        }
    }
    showDetails(path);
}

void TaskListPanel::showDetails(const QString& path)
{
    Mp3Info info;
    if (ReadMp3Info(path, info) == Mp3Read::NotMp3) {
        const QString title = QStringLiteral("Error..."),
                      text = QStringLiteral("Not a MP3 file...");
        if (m_context.showError)
            m_context.showError(title, text);
        else
            QMessageBox::critical(window(), title, text);
    }
    const TaskDetails d = TaskDetails::from(info);
    m_labSize->setText(d.size);
    m_labLength->setText(d.length);
    m_bar->setLength(d.minutes, d.seconds);
    m_album->setText(QStringLiteral("Ola-Brenvik"));
}

void TaskListPanel::playFromList()
{
    m_bar->pressStop();
    m_bar->pressPlay();
    m_bar->showStopNormal();
}

void TaskListPanel::moveSelectionUp()
{
    const int row = m_list->currentRow();
    if (row > 0 && row < m_list->count())
        selectLine(row - 1);
}

void TaskListPanel::moveSelectionDown()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_list->count() - 1)
        selectLine(row + 1);
}

void TaskListPanel::playSelectedFromStart()
{
    if (selectedLine().isEmpty())
        return;
    playFromList();
}

void TaskListPanel::openFromMenu()
{
    m_context.playback.mixer.mute(MixerFunctions::kSpeakerMute, 0);
    if (m_list->count() > 0)
        selectLine(0);
}

std::optional<RepeatRule> TaskListPanel::selectedDueRepeat() const
{
    const QString line = selectedLine();
    const std::optional<TaskName::Parsed> task = TaskName::parse(line);
    if (!task || !m_context.clock || !TaskName::isDue(*task, m_context.clock->now()))
        return std::nullopt;
    return TaskRepeat::read(mediaFolder() + line).rule;
}

bool TaskListPanel::moveSelectedToNextTime()
{
    const std::optional<RepeatRule> rule = selectedDueRepeat();
    if (!rule)
        return false;
    const QString line = selectedLine();
    const QString path = mediaFolder() + line;
    if (m_context.playback.state->playingFile == path)
        m_bar->pressStop();
    QString error;
    const std::optional<QString> moved =
        TaskRepeat::moveToNext(mediaFolder(), line, *rule, m_context.clock->now(), &error);
    if (!moved) {
        emit hintChanged(QStringLiteral("Не перенесено: %1").arg(error));
        return false;
    }
    {
        const QSignalBlocker block(m_list);
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
    }
    refresh();
    const auto next = TaskName::parse(*moved);
    emit hintChanged(QStringLiteral("В следующий раз: %1 %2:%3")
                         .arg(TaskName::dateText(next->date), TaskName::twoDigits(next->hour),
                              TaskName::twoDigits(next->minute)));
    return true;
}

void TaskListPanel::askDelete()
{
    if (!selectedLine().isEmpty())
        emit deleteAsked(selectedLine());
}

void TaskListPanel::deleteSelectedTask()
{
    const QString line = selectedLine();
    if (line.isEmpty())
        return;
    // Compared with the file being deleted rather than with selectedFile,
    // which recording into a file of the user's choice may have changed.
    const QString path = mediaFolder() + line;
    if (m_context.playback.state->playingFile == path)
        m_bar->pressStop();
    FolderListing::remove(mediaFolder(), line);
    // Removing the current item would make its neighbour current and run the
    // selection chain for it; after a deletion nothing is selected.
    const QSignalBlocker block(m_list);
    delete m_list->takeItem(m_list->currentRow());
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
}

bool TaskListPanel::eventFilter(QObject* watched, QEvent* event)
{
    const int selector = m_selectors.indexOf(qobject_cast<QLabel*>(watched));
    if (selector >= 0) {
        if (event->type() == QEvent::MouseButtonPress) {
            highlight(selector);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(event);
            if (m_selectors[selector]->rect().contains(e->position().toPoint()))
                showList(selector);
            return true;
        }
    }
    if (watched == m_imgSteret && event->type() == QEvent::MouseButtonPress) {
        askDelete();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
