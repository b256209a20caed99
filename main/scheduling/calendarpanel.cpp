#include "calendarpanel.h"

#include "animation.h"
#include "ccalendar.h"
#include "gifctl.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

CalendarPanel::CalendarPanel(const Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_choice(clock)
{
    setObjectName(QStringLiteral("CalendarPanel"));
    setGeometry(0, 0, 200, 300);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    m_picCalendar = new QWidget(this);
    m_picCalendar->setObjectName(QStringLiteral("picCalendar"));
    m_picCalendar->setGeometry(0, 0, 197, 297);
    m_picCalendar->setAutoFillBackground(true);
    m_picCalendar->setBackgroundRole(QPalette::Base);

    auto* label5 = new QLabel(QStringLiteral("Выбранный день-"), this);
    label5->setObjectName(QStringLiteral("Label5"));
    label5->setGeometry(36, 206, 160, 16); // wider than the form's 129: the bold text needs it
    QFont f5 = label5->font();
    f5.setPointSizeF(9.75);
    f5.setBold(true);
    label5->setFont(f5);

    m_labDnia = new QLabel(this);
    m_labDnia->setObjectName(QStringLiteral("labDnia"));
    m_labDnia->setGeometry(8, 228, 175, 45);
    m_labDnia->setWordWrap(true);
    m_labDnia->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f = m_labDnia->font();
    f.setPointSizeF(13.5);
    f.setBold(true);
    m_labDnia->setFont(f);

    m_cmdCalen = new QPushButton(QStringLiteral("Calendar"), this);
    m_cmdCalen->setObjectName(QStringLiteral("cmdCalen"));
    m_cmdCalen->setGeometry(6, 272, 67, 23);
    m_cmdCalenClose = new QPushButton(QStringLiteral("Удалить"), this);
    m_cmdCalenClose->setObjectName(QStringLiteral("cmdCalenClose"));
    m_cmdCalenClose->setGeometry(118, 268, 75, 27);
    // In the gap between the two buttons: how the note repeats.
    m_cmdRepeat = new QPushButton(QStringLiteral("↻"), this);
    m_cmdRepeat->setObjectName(QStringLiteral("cmdRepeat"));
    m_cmdRepeat->setGeometry(78, 272, 36, 23);
    m_cmdRepeat->setToolTip(QStringLiteral("Повторять напоминание"));
    connect(m_cmdRepeat, &QPushButton::clicked, this, &CalendarPanel::nextRepeat);
    clearRepeat();
    connect(m_cmdCalen, &QPushButton::clicked, this, &CalendarPanel::cmdCalen_Click);
    connect(m_cmdCalenClose, &QPushButton::clicked, this, &CalendarPanel::cmdCalenClose_Click);

    // The past-day warning over the calendar. A press on it puts it away, so
    // it never keeps the days under it from being clicked.
    GifCtl* warning = Animation::make(m_picCalendar, 3, true);
    warning->hide();
    connect(warning, &GifCtl::MouseDown, warning, [warning] {
        warning->SetEnabled(false);
        warning->hide();
    });
    connect(this, &CalendarPanel::warningAnimation, warning, [warning](bool shown) {
        Animation::centre(warning);
        warning->setVisible(shown);
        warning->raise();
        warning->SetEnabled(shown);
    });
}

CalendarPanel::~CalendarPanel() = default;

void CalendarPanel::nextRepeat()
{
    static const RepeatRule::Kind order[] = {RepeatRule::Kind::Daily, RepeatRule::Kind::Weekdays,
                                             RepeatRule::Kind::Weekly, RepeatRule::Kind::Monthly};
    if (!m_repeat) {
        m_repeat = RepeatRule{order[0], 0};
    } else if (m_repeat->kind == order[3]) {
        clearRepeat();
        emit hintChanged(QStringLiteral("Без повтора."));
        return;
    } else {
        const auto* at = std::find(std::begin(order), std::end(order), m_repeat->kind);
        m_repeat = RepeatRule{*(at + 1), 0};
    }
    m_cmdRepeat->setStyleSheet(
        QStringLiteral("QPushButton { color: white; background: rgb(40,140,70); }"));
    emit hintChanged(QStringLiteral("Повторять %1.").arg(m_repeat->shown()));
}

void CalendarPanel::clearRepeat()
{
    m_repeat.reset();
    m_cmdRepeat->setStyleSheet(QString());
}

QString CalendarPanel::repeatText() const
{
    if (!m_repeat)
        return QString();
    RepeatRule rule = *m_repeat;
    if (rule.kind == RepeatRule::Kind::Monthly)
        rule.monthDay = chosenDay().toInt();
    return rule.text();
}

void CalendarPanel::cmdCalen_Click()
{
    // The old calendar goes with its object, so nothing of it stays
    // connected to this panel.
    m_calen.reset();
    m_calen = std::make_unique<cCalendar>(m_clock);
    m_calen->Create(m_picCalendar, cCalendar::kWeekNumbers, 0, 0, 200, 190);
    m_calen->setMaxSelCount(31);
    connect(m_calen.get(), &cCalendar::ChangeSelected, this, &CalendarPanel::ShowChosenDay);
    connect(m_calen.get(), &cCalendar::SelChange, this, &CalendarPanel::ShowChosenDay);
    emit hintChanged(QStringLiteral("  Выберите день для напоминания."));
    ShowChosenDay();
}

void CalendarPanel::cmdCalenClose_Click()
{
    if (m_calen)
        m_calen->Destroy();
}

void CalendarPanel::ShowChosenDay()
{
    if (!m_calen)
        return;
    switch (m_choice.choose(m_calen->Day(), m_calen->Month(), m_calen->Year())) {
    case DayChoice::Outcome::Accepted:
        emit warningAnimation(false);
        emit hintChanged(QString());
        m_labDnia->setText(m_choice.chosenCaption());
        emit dayAccepted(m_choice.chosenDay(), m_choice.chosenMonth(), m_choice.chosenYear());
        break;
    case DayChoice::Outcome::Past:
        emit warningAnimation(true);
        emit hintChanged(QStringLiteral(" Этот день уже прошел!!!"));
        break;
    case DayChoice::Outcome::Invalid:
        break; // no calendar window: nothing to read, nothing changes
    }
}
