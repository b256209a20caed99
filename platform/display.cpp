#include "display.h"

#include <QByteArray>
#include <QtGlobal>

void preferX11Platform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return; // no X server to reach: Qt's own choice stands
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", QByteArray("xcb;wayland"));
}
