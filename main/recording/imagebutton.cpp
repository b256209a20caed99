#include "imagebutton.h"

#include <QMouseEvent>

ImageButton::ImageButton(const QString& name, const QPixmap& picture, const QRect& geometry,
                         QWidget* parent)
    : QLabel(parent)
{
    setObjectName(name);
    setPixmap(picture);
    setScaledContents(true);
    setGeometry(geometry);
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button());
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button());
}
