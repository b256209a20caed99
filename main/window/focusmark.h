#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

// Where the keys act, drawn for a keyboard user: a dashed frame around the
// control the next key reaches. It shows after a key and goes at the next
// mouse press, so a mouse user never sees it. It takes no mouse.
class FocusMark : public QWidget
{
    Q_OBJECT
public:
    // `target` tells which control the keys reach now.
    FocusMark(std::function<QWidget*()> target, QWidget* window);

    // Frames the control the keys reach (none: hides the mark). While it
    // shows, it follows the panels: one raised over another is framed anew.
    void frame();
    QWidget* target() const { return m_target; }

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QWidget*()> m_locate;
    QPointer<QWidget> m_target;
    bool m_queued = false;
};
