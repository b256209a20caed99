#include "deletepanel.h"

#include "animation.h"
#include "gifctl.h"
#include "playbackbar.h"
#include "tasklistpanel.h"

#include <QLabel>
#include <QPushButton>

DeletePanel::DeletePanel(TaskListPanel* list, QWidget* parent) : QWidget(parent), m_list(list)
{
    setObjectName(QStringLiteral("DeletePanel"));
    setFixedSize(200, 300);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 192));
    setPalette(pal);

    auto* label10 =
        new QLabel(QStringLiteral("Произошла попытка удаления задачи, назначенной на - "), this);
    label10->setObjectName(QStringLiteral("Label10"));
    label10->setGeometry(12, 16, 176, 60);
    label10->setWordWrap(true);
    label10->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label10->setStyleSheet(QStringLiteral("color: rgb(190,220,255);"));
    QFont f = label10->font();
    f.setPointSize(10);
    label10->setFont(f);

    m_label11 = new QLabel(this);
    m_label11->setObjectName(QStringLiteral("Label11"));
    m_label11->setGeometry(8, 80, 184, 24);
    m_label11->setAlignment(Qt::AlignCenter);
    m_label11->setStyleSheet(QStringLiteral("color: rgb(255,255,255);"));
    QFont bold = f;
    bold.setPointSize(11);
    bold.setBold(true);
    m_label11->setFont(bold);

    // For a repeating task that is due: what it does, and the way on to its
    // next time, in the room above the picture.
    m_repeats = new QLabel(this);
    m_repeats->setObjectName(QStringLiteral("lblRepeats"));
    m_repeats->setGeometry(8, 104, 184, 14);
    m_repeats->setAlignment(Qt::AlignCenter);
    m_repeats->setStyleSheet(QStringLiteral("color: rgb(190,220,255);"));
    QFont small = f;
    small.setPointSize(8);
    m_repeats->setFont(small);
    m_repeats->hide();
    auto* next = new QPushButton(QStringLiteral("Готово, в следующий раз"), this);
    next->setObjectName(QStringLiteral("cmdNextTime"));
    next->setGeometry(20, 120, 160, 22);
    next->setFont(small);
    next->setStyleSheet(QStringLiteral(
        "QPushButton { color: rgb(0,60,0); background: rgb(120,230,140); border: 1px solid "
        "white; border-radius: 5px; }"
        "QPushButton:pressed { background: rgb(80,180,100); }"));
    connect(next, &QPushButton::clicked, this, [this] { decide(2); });
    next->hide();
    m_nextTime = next;

    m_gifHost = new QWidget(this);
    m_gifHost->setObjectName(QStringLiteral("GifCtl8Host"));
    m_gifHost->setGeometry(60, 116, 80, 80);
    GifCtl* question = Animation::make(m_gifHost, 8, false);
    Animation::centre(question);
    connect(this, &DeletePanel::animationEnabledChanged, question, &GifCtl::SetEnabled);
    // Over the top of the picture's square: the button takes the clicks.
    m_nextTime->raise();

    const QString captions[] = {QStringLiteral("Удалить"), QStringLiteral("Помиловать")};
    const QString styles[] = {
        QStringLiteral("QPushButton { color: white; background: rgb(170,30,30); border: 1px solid "
                       "rgb(255,120,120); border-radius: 5px; }"
                       "QPushButton:pressed { background: rgb(120,10,10); }"),
        QStringLiteral("QPushButton { color: rgb(0,0,128); background: rgb(0,255,255); border: "
                       "1px solid white; border-radius: 5px; }"
                       "QPushButton:pressed { background: rgb(0,180,180); }")};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(captions[i], this);
        b->setObjectName(QStringLiteral("Command6_%1").arg(i));
        b->setGeometry(20, 214 + i * 38, 160, 30);
        b->setStyleSheet(styles[i]);
        connect(b, &QPushButton::clicked, this, [this, i] { decide(i); });
    }

    connect(list, &TaskListPanel::deleteAsked, this, &DeletePanel::ask);
}

QString DeletePanel::shownMoment() const
{
    return m_label11->text();
}

void DeletePanel::ask(const QString& line)
{
    if (line.isEmpty())
        return;
    m_label11->setText(line.left(19));
    const std::optional<RepeatRule> repeat = m_list->selectedDueRepeat();
    m_repeats->setText(repeat ? QStringLiteral("Повторяется ") + repeat->shown() : QString());
    m_repeats->setVisible(bool(repeat));
    m_nextTime->setVisible(bool(repeat));
    m_open = true;
    emit openRequested();
    emit animationEnabledChanged(true);
}

bool DeletePanel::offersNextTime() const
{
    return m_nextTime->isVisibleTo(this);
}

void DeletePanel::decide(int index)
{
    if (index == 0)
        m_list->deleteSelectedTask();
    else if (index == 2 && offersNextTime())
        m_list->moveSelectedToNextTime();
    else if (index != 1)
        return;
    m_list->playbackBar().showStopNormal();
    m_open = false;
    emit closeRequested();
    emit animationEnabledChanged(false);
}
