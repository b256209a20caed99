#include "controlbutton.h"

#include "pressable.h"

#include <QMouseEvent>
#include <QPainter>

ControlButton::ControlButton(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picOK"));
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    for (int i = 0; i < 4; ++i)
        m_normal[size_t(i)] = QPixmap(QStringLiteral(":/art/picok%1.png").arg(i));
    for (int i = 1; i < 4; ++i)
        m_pressed[size_t(i)] = QPixmap(QStringLiteral(":/art/picture3_%1.png").arg(i));
    setFixedSize(90, 90);
    // The three zones for screen readers: see-through parts of the button
    // that draw nothing and let the mouse through to it.
    const struct
    {
        const char* name;
        const char* text;
        int top;
    } zones[] = {{"zoneUp", "Вверх", 0}, {"zoneOk", "ОК", 30}, {"zoneDown", "Вниз", 60}};
    for (const auto& z : zones) {
        auto* part = new QWidget(this);
        part->setObjectName(QLatin1String(z.name));
        part->setGeometry(0, z.top, 90, 30);
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
        Pressable::mark(part, QString::fromUtf8(z.text));
    }
}

QString ControlButton::frontImage() const
{
    return m_front >= 10 ? QStringLiteral("Picture3_%1").arg(m_front - 10)
                         : QStringLiteral("picOK%1").arg(m_front);
}

void ControlButton::showNormal()
{
    m_front = 0;
    update();
}

void ControlButton::showPressed(ButtonZone zone)
{
    if (zone == ButtonZone::None)
        return;
    m_front = 10 + int(zone);
    update();
}

void ControlButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPixmap& pm = m_front >= 10 ? m_pressed[size_t(m_front - 10)] : m_normal[size_t(m_front)];
    p.drawPixmap(0, 0, pm);
}

void ControlButton::mouseMoveEvent(QMouseEvent* e)
{
    emit hovered();
    const QPoint pos = e->position().toPoint();
    if (e->buttons() != Qt::NoButton)
        return;
    if (rect().contains(pos) && pos.x() > 0 && pos.y() > 0) {
        const ButtonZone zone = zoneAt(pos.y(), height());
        if (zone != ButtonZone::None) {
            m_zone = zone;
            m_front = int(zone);
            update();
        }
    } else {
        showNormal();
    }
}

void ControlButton::leaveEvent(QEvent*)
{
    if (m_front < 10)
        showNormal();
}

void ControlButton::mousePressEvent(QMouseEvent* e)
{
    // The zone under the press counts; without a move before it (a touch
    // screen, a synthesized click) the last zone entered would be stale.
    const ButtonZone pressed = zoneAt(int(e->position().y()), height());
    if (pressed != ButtonZone::None)
        m_zone = pressed;
    const ButtonZone zone = m_zone;
    m_held = true;
    showPressed(zone);
    emit zonePressed(zone);
    // An action that waits lets the release through meanwhile: the button
    // is up again, and shows it.
    if (!m_held)
        showNormal();
}

void ControlButton::mouseReleaseEvent(QMouseEvent*)
{
    m_held = false;
    showNormal();
}
