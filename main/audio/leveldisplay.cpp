#include "leveldisplay.h"

#include "levelgeometry.h"

#include <QPainter>

LevelDisplay::LevelDisplay(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PicDisplay"));
    setFixedSize(200, 60);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelDisplay::DrawLevel(const QByteArray& block)
{
    QVector<QRect> next = LevelGeometry::ellipsesFor(
        reinterpret_cast<const uint8_t*>(block.constData()), size_t(block.size()));
    // Silence repeats the same picture 43 times a second: skip the repaint.
    if (next == m_ellipses)
        return;
    m_ellipses = std::move(next);
    update();
}

void LevelDisplay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The device's screen: dark glass with a light-blue trace.
    p.fillRect(rect(), QColor(12, 18, 28));
    p.setPen(QPen(QColor(110, 190, 255), 1));
    p.setBrush(Qt::NoBrush);
    for (const QRect& box : m_ellipses)
        p.drawEllipse(box);
}
