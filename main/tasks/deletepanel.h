#pragma once

#include <QWidget>

class QLabel;
class TaskListPanel;

// The contents of the delete confirmation panel `FraSteret` (200 x 300
// pixels): the question with the date and time of the task, and the buttons
// "Удалить" (delete) and "Помиловать" (pardon: the task stays). The window
// shows and hides the frame on openRequested / closeRequested.
class DeletePanel : public QWidget
{
    Q_OBJECT
public:
    explicit DeletePanel(TaskListPanel* list, QWidget* parent = nullptr);

    // Opens the question for the list line `line`.
    void ask(const QString& line);
    // 0: delete the task, 1: pardon it, 2: a due repeating task is done for
    // now and moves on to its next time. Each closes the panel.
    void decide(int index);
    // Whether the question offers the next time (a due repeating task).
    bool offersNextTime() const;

    bool isOpen() const { return m_open; }
    QString shownMoment() const; // Label11

signals:
    void openRequested();
    void closeRequested();
    // GifCtl8.Enabled: true while the question is open.
    void animationEnabledChanged(bool enabled);

private:
    TaskListPanel* m_list;
    QLabel* m_label11;
    QLabel* m_repeats;
    QWidget* m_nextTime;
    QWidget* m_gifHost;
    bool m_open = false;
};
