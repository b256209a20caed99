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
    // 0: delete the task, 1: pardon it. Both close the panel.
    void decide(int index);

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
    QWidget* m_gifHost;
    bool m_open = false;
};
