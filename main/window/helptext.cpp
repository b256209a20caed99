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
// What each key does, as short as the paper is narrow.
const char* const kKeys[] = {
    "Клавиши",
    "↑ ↓ Enter — кнопка под экраном.",
    "Esc — меню, 1–4 — его пункты.",
    "F1 — справка, ещё раз — клавиши.",
    "Циферблат: ← → — час или минута, PgUp / PgDn — день или ночь.",
    "Календарь: стрелки — день, PgUp / PgDn — месяц.",
    "Запись: пробел — запись, пауза и снова запись; Enter — стоп.",
    "Список: ↑ ↓ — выбор, Enter — слушать, пробел — пауза, Delete — удалить.",
    "Вопрос об удалении: Enter — удалить, Esc — помиловать.",
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
    setCenterOnScroll(true); // the list of keys can scroll up to the top
    QString shown = text();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The keys come after a gap that keeps them below the paper's edge.
    setPlainText(shown + QStringLiteral("\n").repeated(8) + keys());
}

QString HelpText::text()
{
    QStringList lines;
    for (const char* line : kLines)
        lines << QString::fromUtf8(line);
    lines << QString();
    return lines.join(QStringLiteral("\r\n"));
}

QString HelpText::keys()
{
    QStringList lines;
    for (const char* line : kKeys)
        lines << QString::fromUtf8(line);
    return lines.join(QLatin1Char('\n'));
}

QString HelpText::keysHeading()
{
    return QString::fromUtf8(kKeys[0]);
}

void HelpText::mousePressEvent(QMouseEvent*)
{
    QPointer<HelpText> self(this);
    setEnabled(false);
    Pause(500);
    if (self) // the window may have closed during the pause
        setEnabled(true);
}
