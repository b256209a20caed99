#include "dialpane.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTransform>

DialPane::DialPane(Role role, QWidget* parent) : QWidget(parent), m_role(role)
{
    static const char* const kNames[] = {"Maska", "PicWremyU", "FonStrelki"};
    setObjectName(QString::fromLatin1(kNames[int(role)]));
    setMouseTracking(true);
    setGeometry(0, 0, 200, 204);
}

QRegion DialPane::ringShape()
{
    // Windows-style corner pairs (1,1)-(199,198) and (44,42)-(159,157): the
    // far edges are exclusive.
    return QRegion(1, 1, 198, 197, QRegion::Ellipse) - QRegion(44, 42, 115, 115, QRegion::Ellipse);
}

QRegion DialPane::cornerShape()
{
    return QRegion(1, 1, 197, 202) - QRegion(9, 10, 180, 180, QRegion::Ellipse);
}

QTransform DialPane::threePointTransform(QSize source, const std::array<QPoint, 3>& pts)
{
    const double w = source.width(), h = source.height();
    return QTransform((pts[1].x() - pts[0].x()) / w, (pts[1].y() - pts[0].y()) / w,
                      (pts[2].x() - pts[0].x()) / h, (pts[2].y() - pts[0].y()) / h, pts[0].x(),
                      pts[0].y());
}

void DialPane::applyShape()
{
    if (m_role == Role::Ring)
        setMask(ringShape());
    else if (m_role == Role::Corner)
        setMask(cornerShape());
    update();
}

void DialPane::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void DialPane::setHand(const QPixmap& hand, const std::array<QPoint, 3>& points)
{
    if (hand.cacheKey() == m_hand.cacheKey() && points == m_handPoints)
        return;
    m_hand = hand;
    m_handPoints = points;
    update();
}

void DialPane::setPointer(QPointF start, QPointF end, bool visible)
{
    if (start == m_pointerStart && end == m_pointerEnd && visible == m_pointerVisible)
        return;
    m_pointerStart = start;
    m_pointerEnd = end;
    m_pointerVisible = visible;
    update();
}

void DialPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_role == Role::Hole) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        if (!m_hand.isNull()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.setTransform(threePointTransform(m_hand.size(), m_handPoints));
            p.drawPixmap(0, 0, m_hand);
        }
        return;
    }
    if (!m_picture.isNull())
        p.drawPixmap(0, 0, m_picture);
    if (m_role == Role::Ring && m_pointerVisible) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 30, 20), 2));
        p.drawLine(m_pointerStart, m_pointerEnd);
    }
}

void DialPane::mousePressEvent(QMouseEvent* e)
{
    m_lastPress = QDateTime::currentMSecsSinceEpoch();
    emit pressed();
    e->accept();
}

void DialPane::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A double-click is one act of the user's. When its first press came
    // here, that press toggled the dial and the second must not toggle it
    // back; when the first press opened the dial (the menu's item), the
    // second is the dial's first click.
    const qint64 since = QDateTime::currentMSecsSinceEpoch() - m_lastPress;
    if (since > QGuiApplication::styleHints()->mouseDoubleClickInterval())
        mousePressEvent(e);
    e->accept();
}

void DialPane::mouseMoveEvent(QMouseEvent* e)
{
    emit moved(e->position().toPoint());
    e->accept();
}
