#include "picturestack.h"

#include <QMouseEvent>
#include <QPainter>

PictureStack::PictureStack(const QString& name, const QList<QPixmap>& pictures, QWidget* parent)
    : QWidget(parent), m_pictures(pictures)
{
    setObjectName(name);
    for (int i = pictures.size() - 1; i >= 0; --i)
        m_order.append(i); // item 0 starts in front
    m_visible = QList<bool>(pictures.size(), true);
}

void PictureStack::bringToFront(int index)
{
    if (index < 0 || index >= m_pictures.size())
        return;
    m_order.removeAll(index);
    m_order.append(index);
    update();
}

void PictureStack::setPictureVisible(int index, bool visible)
{
    if (index < 0 || index >= m_pictures.size())
        return;
    m_visible[index] = visible;
    update();
}

bool PictureStack::isPictureVisible(int index) const
{
    return index >= 0 && index < m_visible.size() && m_visible.at(index);
}

int PictureStack::shownIndex() const
{
    for (auto it = m_order.crbegin(); it != m_order.crend(); ++it)
        if (m_visible.at(*it))
            return *it;
    return -1;
}

void PictureStack::paintEvent(QPaintEvent*)
{
    const int i = shownIndex();
    if (i < 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_pictures.at(i));
}

void PictureStack::mousePressEvent(QMouseEvent* e)
{
    const int i = shownIndex();
    if (i >= 0)
        emit pressed(i, e->position().toPoint());
}

void PictureStack::mouseReleaseEvent(QMouseEvent*)
{
    const int i = shownIndex();
    if (i >= 0)
        emit released(i);
}
