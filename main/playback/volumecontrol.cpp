#include "volumecontrol.h"

#include "animation.h"
#include "gifctl.h"
#include "pressable.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kTwips = 15;
}

VolumeControl::VolumeControl(MixerFunctions mixer, QWidget* parent)
    : QWidget(parent), m_slider(std::move(mixer))
{
    setObjectName(QStringLiteral("VolumeControl"));
    setGeometry(0, 0, 60, 62);

    auto* track = new QWidget(this);
    track->setObjectName(QStringLiteral("linGromkoct"));
    track->setGeometry(VolumeSlider::kTrackX / kTwips - 1, VolumeSlider::kTop / kTwips, 3,
                       (VolumeSlider::kBottom - VolumeSlider::kTop) / kTwips + 12);
    track->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_knob = new QLabel(this);
    m_knob->setObjectName(QStringLiteral("picGromkoct"));
    m_knob->setPixmap(QPixmap(QStringLiteral(":/art/picgromkoct.png")));
    m_knob->setScaledContents(true);
    m_knob->setMouseTracking(true);
    // Dragged, not pressed: named for screen readers, without an action.
    Pressable::setRole(m_knob, QAccessible::Slider);
    m_knob->setAccessibleName(QStringLiteral("Громкость"));
    m_knob->installEventFilter(this);

    QFont small = font();
    small.setPointSize(7);
    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("lblProzent2"));
    m_percent->setGeometry(32, 1, 19, 12);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percent->setFont(small);
    auto* sign = new QLabel(QStringLiteral("%"), this);
    sign->setObjectName(QStringLiteral("Label4"));
    sign->setGeometry(51, 1, 9, 12);
    sign->setFont(small);
    for (QLabel* l : {m_percent, sign})
        l->setStyleSheet(QStringLiteral("color: rgb(0,255,0);"));

    m_gifHost = new QWidget(this);
    m_gifHost->setObjectName(QStringLiteral("GifCtl5Host"));
    m_gifHost->setGeometry(33, 16, 24, 24);
    m_gifHost->hide();
    GifCtl* drag = Animation::make(m_gifHost, 5, true);
    drag->setGeometry(m_gifHost->rect());
    connect(this, &VolumeControl::dragIndicatorChanged, drag, &GifCtl::SetEnabled);
    sync();
}

void VolumeControl::initialise(int foundPercent)
{
    m_slider.initialise(foundPercent);
    sync();
}

void VolumeControl::sync()
{
    m_knob->setGeometry(VolumeSlider::kKnobLeft / kTwips, m_slider.knobTop() / kTwips,
                        VolumeSlider::kKnobWidth / kTwips, VolumeSlider::kKnobHeight / kTwips);
    m_percent->setText(m_slider.percentText());
    const bool shown = m_slider.indicatorVisible();
    if (shown != m_indicatorShown) {
        m_indicatorShown = shown;
        m_gifHost->setVisible(shown);
        emit dragIndicatorChanged(shown);
    }
}

bool VolumeControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_knob)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        m_slider.press(e->position().y() * kTwips);
        sync();
        return true;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPointF inBar = m_knob->mapTo(this, e->position());
        m_slider.move(int(e->position().x() * kTwips), int(inBar.y() * kTwips));
        sync();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_slider.release();
        sync();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void VolumeControl::paintEvent(QPaintEvent*)
{
    // The track: a thin groove with a lit edge, from 100 % down to 0 %.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal x = VolumeSlider::kTrackX / qreal(kTwips);
    const qreal top = VolumeSlider::kTop / qreal(kTwips);
    const qreal bottom = VolumeSlider::kBottom / qreal(kTwips) + 12;
    p.setPen(QPen(QColor(0, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    p.setPen(QPen(QColor(0, 200, 90), 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
}
