#include "alarmbar.h"

#include "skiptaskbar.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int TwipsPerPixel = 15;
}

AlarmBar::AlarmBar()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(title());
    setAccessibleName(title().trimmed());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(3945 / TwipsPerPixel, 600 / TwipsPerPixel);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(AlarmMs);
    m_timer1.setSingleShot(true);
    // Never early: a coarse timer may end a five-second alarm 0.25 s short.
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &AlarmBar::timeUp);

    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setInterval(50);
    // Another program's topmost window must not hide the notice for long.
    // The window manager keeps the bar in its "above" layer (the stays-on-top
    // hint); this lifts it over other windows of that layer too. The request
    // is sent at once: with nothing else happening, the event loop would
    // leave it waiting in the connection's buffer.
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        if (!isVisible())
            return;
        raise();
        QGuiApplication::sync();
    });
    m_timer2.start();
}

QString AlarmBar::title()
{
    return QStringLiteral("   Есть напоминание");
}

void AlarmBar::setNoteCaption(const QString& caption)
{
    m_noteCaption = caption;
    setAccessibleDescription(caption);
    update();
}

void AlarmBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 255, 255));
    p.setPen(Qt::black);
    const QRect text = rect().adjusted(4, 0, -4, 0);
    if (m_noteCaption.isEmpty()) {
        p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, title());
        return;
    }
    // Two lines in the same small bar: a font too tall for half of it is
    // made to fit rather than cut.
    const int half = height() / 2;
    QFont f = font();
    if (QFontMetrics(f).height() > half) {
        f.setPixelSize(half - 3);
        p.setFont(f);
    }
    const QFontMetrics metrics(f);
    p.drawText(QRect(text.left(), 0, text.width(), half), Qt::AlignVCenter | Qt::AlignLeft,
               title());
    // Under the words of the title, past its leading blanks.
    const int indent = metrics.horizontalAdvance(title().left(3));
    const QRect lower(text.left() + indent, half, text.width() - indent, height() - half);
    p.drawText(lower, Qt::AlignVCenter | Qt::AlignLeft,
               fitted(m_noteCaption, metrics, lower.width()));
}

QString AlarmBar::fitted(const QString& caption, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(caption) <= width)
        return caption;
    // A long comment gives way, "(и ещё N)" after it stays whole.
    static const QRegularExpression more(QStringLiteral(" \\(и ещё \\d+\\)$"));
    const QRegularExpressionMatch m = more.match(caption);
    const QString tail = m.hasMatch() ? m.captured() : QString();
    const QString head = caption.left(caption.size() - tail.size());
    return metrics.elidedText(head, Qt::ElideRight, width - metrics.horizontalAdvance(tail)) + tail;
}

void AlarmBar::showEvent(QShowEvent* event)
{
    placeBottomLeft();
    QWidget::showEvent(event);
    // Not a task bar button: once the window is on the screen.
    QTimer::singleShot(0, this, [this] { skipTaskbar(windowHandle()); });
}

void AlarmBar::placeBottomLeft()
{
    // Where a minimized window's title bar sits: beside the start button.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.left(), area.bottom() + 1 - height());
}

void showMciError(const QString& text, const QString& detail)
{
    // Not modal: the alarm player must still end on time and put the mixer
    // back, answered or not.
    auto* box =
        new QMessageBox(QMessageBox::Critical, QStringLiteral("Tinkra"), text, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("mciError"));
    box->setInformativeText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}
