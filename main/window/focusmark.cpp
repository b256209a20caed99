#include "focusmark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>

namespace {
constexpr int kMargin = 2; // the frame's distance outside the control
}

FocusMark::FocusMark(std::function<QWidget*()> target, QWidget* window)
    : QWidget(window), m_locate(std::move(target))
{
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
    // A press anywhere in the window ends the keyboard's turn.
    qApp->installEventFilter(this);
}

void FocusMark::frame()
{
    QWidget* target = m_locate();
    m_target = target;
    if (!target || !target->isVisible()) {
        hide();
        return;
    }
    const QRect r(target->mapTo(parentWidget(), QPoint(0, 0)), target->size());
    setGeometry(r.adjusted(-kMargin, -kMargin, kMargin, kMargin) & parentWidget()->rect());
    raise();
    show();
    update();
}

void FocusMark::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPen pen(QColor(255, 215, 0), 2, Qt::DashLine);
    p.setPen(pen);
    p.drawRect(rect().adjusted(1, 1, -1, -1));
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event)
{
    if (!isVisible() || watched == this)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == window())
            hide();
    } else if (event->type() == QEvent::ZOrderChange && !m_queued) {
        // A panel came to the front: framed once the step that raised it
        // is over.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == window()) {
            m_queued = true;
            QTimer::singleShot(0, this, [this] {
                m_queued = false;
                if (isVisible())
                    frame();
            });
        }
    }
    return false;
}
