#include "helptext.h"

#include "pause.h"

#include <QPointer>
#include <QStringList>

namespace {
const char* const kLines[] = {
    "Для того чтобы программа ",        "следила за назначенными вами ",
    "заданиями, выберите в ",           "настройках  пункт \"Добавить в ",
    "автозагрузку и следить за ",       "назначенными заданиями.\"         ",
    "В трее, это рядом с часиками  ",   "появится вот такой значок.         ",
    "При наступлении времени         ", "задачи он оповестит  ВАС так ;    ",
    "подаст звуковой сигнал, покажет ", "табличку рядом с кнопкой пуск, ну ",
    " и собственной анимацией. ",       "Двойной клик по нему откроет эту ",
    "программу.  Кликните в меню ",     "\"Уже запланированные задачи\". ",
    "Там уже будут отмечены нужные. ",  "Вот, пожалуй, и все.",
};
} // namespace

HelpText::HelpText(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Text2"));
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::NoContextMenu);
    QString shown = text();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
}

QString HelpText::text()
{
    QStringList lines;
    for (const char* line : kLines)
        lines << QString::fromUtf8(line);
    lines << QString();
    return lines.join(QStringLiteral("\r\n"));
}

void HelpText::mousePressEvent(QMouseEvent*)
{
    QPointer<HelpText> self(this);
    setEnabled(false);
    Pause(500);
    if (self) // the window may have closed during the pause
        setEnabled(true);
}
