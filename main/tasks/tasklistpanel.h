#pragma once

#include "repeatrule.h"

#include <optional>

#include "controltarget.h"
#include "taskpanelcontext.h"

#include <QWidget>

class PlaybackBar;
class QLabel;
class QLineEdit;
class QListWidget;
class RepeatMarks;
class QPlainTextEdit;

// The contents of the task panel `fraSpisok` (200 x 300 pixels): the
// playback bar, the four list selectors `lblToday`, the list `lstFiles`, the
// comment of the selected task and the delete picture `imgSteret`. Selecting
// a line makes that task the current one: its path goes to the window's
// selectedFile, its bare name to the clipboard, and its tag, size and length
// are shown.
class TaskListPanel : public QWidget, public ControlTarget
{
    Q_OBJECT
public:
    explicit TaskListPanel(const TaskPanelContext& context, QWidget* parent = nullptr);

    // Rebuilds the list of kind `index` (0 past, 1 today, 2 tomorrow, 3 all)
    // and puts its count on the hint line. Other indices do nothing.
    void showList(int index);
    // Builds the list on show again (a note has arrived or gone meanwhile),
    // keeping the selected line where it is still there; the hint line and
    // the playback are left alone.
    void refresh();
    // Gives the selector label `index` the highlight (as a press on it does).
    void highlight(int index);
    int highlighted() const { return m_highlighted; }

    // Control button in the task list: the arrows move the selection within
    // the list; OK plays the selected task from its start.
    void moveSelectionUp();
    void moveSelectionDown();
    void playSelectedFromStart();
    void up() override { moveSelectionUp(); }
    void down() override { moveSelectionDown(); }
    void ok() override { playSelectedFromStart(); }
    // Menu item "Уже запланированные задачи": unmutes the speakers and
    // selects the first line (the window brings the panel to the front).
    void openFromMenu();

    // Selects line `row` and runs the selection chain, even when it was
    // already the selected line.
    void selectLine(int row);
    QString selectedLine() const;
    QStringList lines() const;

    // Deletes the selected task: stops it first when it is the one playing,
    // deletes its file (a failure is not reported) and removes its line.
    void deleteSelectedTask();
    // The delete picture's press: the question for the selected task.
    void askDelete();

    // The rule of the selected task when it repeats and is due (done for
    // now, it can move on to its next time); no value otherwise.
    std::optional<RepeatRule> selectedDueRepeat() const;
    // Moves that task to its next moment after now: stopped first when it is
    // playing, its file renamed (tags and audio untouched), the list built
    // again. The hint line says where it went, or why it did not.
    bool moveSelectedToNextTime();

    PlaybackBar& playbackBar() const { return *m_bar; }
    QString mediaFolder() const { return m_context.programFolder + QStringLiteral("/Media/"); }

signals:
    // A text for the hint line `lbHelp`.
    void hintChanged(const QString& text);
    // The delete picture was pressed while `line` was selected.
    void deleteAsked(const QString& line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onRowChanged(int row);
    void showDetails(const QString& path);
    void playFromList();

    TaskPanelContext m_context;
    PlaybackBar* m_bar;
    QList<QLabel*> m_selectors;
    int m_highlighted = 0;
    int m_shown = -1; // the kind of list built last
    QListWidget* m_list;
    RepeatMarks* m_marks = nullptr;
    QPlainTextEdit* m_comment;
    QLabel* m_imgSteret = nullptr;
    QLineEdit* m_album;
    QLabel* m_labSize;
    QLabel* m_labLength;
};
