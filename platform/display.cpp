#include "display.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
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

void loadQtTranslations()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    auto* qt = new QTranslator(app);
    if (qt->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qt"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}
