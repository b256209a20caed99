#include "dragwindow.h"

#include <QWidget>
#include <QWindow>

void DragWindow(QWidget* window)
{
    if (!window || window->isMaximized())
        return;
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (QWindow* handle = window->window()->windowHandle())
        handle->startSystemMove();
}
