#include "playbackbar.h"

#include "animation.h"
#include "gifctl.h"
#include "picturestack.h"
#include "player.h"
#include "pressable.h"
#include "volumecontrol.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kTwips = 15;

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(left / kTwips, top / kTwips, width / kTwips, height / kTwips);
}

QPixmap art(const char* name)
{
    return QPixmap(QStringLiteral(":/art/") + QLatin1String(name));
}

QLabel* timeLabel(const QString& name, const QString& text, const QRect& r, Qt::Alignment a,
                  QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(r);
    l->setAlignment(a | Qt::AlignVCenter);
    QFont f = l->font();
    f.setPointSize(8);
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: rgb(0,255,0);"));
    return l;
}

} // namespace

PlaybackBar::PlaybackBar(const PlaybackContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("PicMag2"));
    setFixedSize(200, 62);

    m_player = new Player(context.send, context.shortPath, context.wait,
                          &context.state->playingFile, this);
    connect(m_player, &Player::changed, this, &PlaybackBar::sync);
    connect(m_player, &Player::runningChanged, this, &PlaybackBar::playingChanged);
    // The end of the track stops as the stop button does, pictures included.
    connect(m_player, &Player::finished, this, [this] {
        showStoppedPictures();
        showStopNormal();
    });

    m_volume = new VolumeControl(context.mixer, this);

    m_play = new PictureStack(QStringLiteral("imgPusk"), {art("imgpusk0.png"), art("imgpusk1.png")},
                              this);
    m_play->setGeometry(twipRect(960, 360, 330, 255));
    m_pause = new PictureStack(QStringLiteral("imgPausa2"),
                               {art("imgpausa2_0.png"), art("imgpausa2_1.png")}, this);
    m_pause->setGeometry(twipRect(1320, 360, 330, 255));
    m_stop = new PictureStack(QStringLiteral("imgStop2"),
                              {art("imgstop2_0.png"), art("imgstop2_1.png")}, this);
    m_stop->setGeometry(twipRect(1680, 360, 330, 255));
    m_play->setToolTip(QStringLiteral("Воспроизвести"));
    m_pause->setToolTip(QStringLiteral("Пауза"));
    m_stop->setToolTip(QStringLiteral("Стоп"));
    for (PictureStack* p : {m_play, m_pause, m_stop})
        Pressable::mark(p, p->toolTip());

    connect(m_play, &PictureStack::pressed, this, [this](int i) { onPlayPressed(i); });
    connect(m_play, &PictureStack::released, this, [this] { m_play->bringToFront(0); });
    connect(m_pause, &PictureStack::pressed, this, [this](int i) { onPausePressed(i); });
    connect(m_stop, &PictureStack::pressed, this, [this] { onStopPressed(); });
    connect(m_stop, &PictureStack::released, this, &PlaybackBar::showStopNormal);

    m_sliderFon = new QLabel(this);
    m_sliderFon->setObjectName(QStringLiteral("imgSliderFon"));
    m_sliderFon->setGeometry(twipRect(600, 700, Player::kBarWidth, 135));
    m_sliderFon->setPixmap(art("imgsliderfon.png"));
    m_sliderFon->setScaledContents(true);
    m_slider = new QLabel(this);
    m_slider->setObjectName(QStringLiteral("imgSlider"));
    m_slider->setPixmap(art("imgslider.png"));
    m_slider->setScaledContents(true);
    m_sliderClick = new QWidget(this);
    m_sliderClick->setObjectName(QStringLiteral("imgSliderClik"));
    m_sliderClick->setGeometry(twipRect(600, 705, Player::kBarWidth, 195));
    // Pressed where the note should go on: named, without an action.
    Pressable::setRole(m_sliderClick, QAccessible::Slider);
    m_sliderClick->setAccessibleName(QStringLiteral("Место в записи"));
    m_sliderClick->installEventFilter(this);
    m_sliderClick->setCursor(Qt::PointingHandCursor);
    for (QLabel* l : {m_sliderFon, m_slider})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Elapsed time, then the task's length: "0 : 5 / 0 : 12".
    const Qt::Alignment right = Qt::AlignRight, centre = Qt::AlignHCenter, left = Qt::AlignLeft;
    // Two-digit seconds keep clear of the "/".
    m_minutes =
        timeLabel(QStringLiteral("Label2_3"), QStringLiteral("0"), {58, 5, 12, 14}, right, this);
    timeLabel(QStringLiteral("Label2_4"), QStringLiteral(":"), {70, 5, 6, 14}, centre, this);
    m_seconds =
        timeLabel(QStringLiteral("Label2_5"), QStringLiteral("0"), {76, 5, 16, 14}, left, this);
    timeLabel(QStringLiteral("lblOf"), QStringLiteral("/"), {93, 5, 10, 14}, centre, this);
    m_lengthMinutes =
        timeLabel(QStringLiteral("labLength2"), QStringLiteral("0"), {103, 5, 11, 14}, right, this);
    timeLabel(QStringLiteral("labLengthColon"), QStringLiteral(":"), {114, 5, 6, 14}, centre, this);
    m_lengthSeconds =
        timeLabel(QStringLiteral("labLength3"), QStringLiteral("20"), {120, 5, 16, 14}, left, this);

    m_gifHost = new QWidget(this);
    m_gifHost->setObjectName(QStringLiteral("GifCtl7Host"));
    m_gifHost->setGeometry(140, 3, 56, 40);
    GifCtl* playing = Animation::make(m_gifHost, 7, false);
    Animation::centre(playing);
    connect(this, &PlaybackBar::playingChanged, playing, &GifCtl::SetEnabled);

    sync();
}

void PlaybackBar::setSelectionSource(std::function<bool()> hasSelection,
                                     std::function<QString()> lengthCaption)
{
    m_hasSelection = std::move(hasSelection);
    m_lengthCaption = std::move(lengthCaption);
}

void PlaybackBar::onPlayPressed(int index)
{
    // The playing picture (index 1) is not a button.
    if (index != 0 || !m_hasSelection || !m_hasSelection())
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_play->bringToFront(1);
    m_pause->bringToFront(0);
    m_play->setPictureVisible(0, false);
    m_player->play(m_context.state->selectedFile, m_lengthCaption ? m_lengthCaption() : QString());
    if (m_player->state() == Player::State::Stopped)
        showStoppedPictures(); // nothing could be played
}

void PlaybackBar::onPausePressed(int index)
{
    if (index == 0) {
        if (m_context.state->selectedFile.isEmpty() || !m_player->isLoaded())
            return;
        m_player->pause();
        m_pause->bringToFront(1);
    } else {
        m_player->resume();
        m_pause->bringToFront(0);
    }
}

void PlaybackBar::showStoppedPictures()
{
    m_play->setPictureVisible(0, true);
    m_play->bringToFront(0);
    m_pause->bringToFront(0);
}

void PlaybackBar::onStopPressed()
{
    m_stop->bringToFront(1);
    showStoppedPictures();
    m_player->stop();
}

void PlaybackBar::pressPlay()
{
    onPlayPressed(m_play->shownIndex());
    m_play->bringToFront(0);
}

void PlaybackBar::pressPause()
{
    onPausePressed(m_pause->shownIndex());
}

void PlaybackBar::pressStop()
{
    onStopPressed();
    showStopNormal();
}

void PlaybackBar::showStopNormal()
{
    m_stop->bringToFront(0);
}

void PlaybackBar::clickBar(int x)
{
    if (m_sliderClick->isEnabled())
        m_player->seek(x * kTwips);
}

void PlaybackBar::setLength(const QString& minutes, const QString& seconds)
{
    m_lengthMinutes->setText(minutes);
    m_lengthSeconds->setText(seconds);
}

void PlaybackBar::sync()
{
    m_minutes->setText(m_player->elapsedMinutes());
    m_seconds->setText(m_player->elapsedSeconds());
    const QRect fon = m_sliderFon->geometry();
    m_slider->setGeometry(fon.x(), fon.y(), qRound(m_player->barWidth() / double(kTwips)),
                          fon.height());
    m_sliderClick->setEnabled(m_player->isLoaded());
}

bool PlaybackBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_sliderClick && event->type() == QEvent::MouseButtonPress) {
        clickBar(int(static_cast<QMouseEvent*>(event)->position().x()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlaybackBar::paintEvent(QPaintEvent*)
{
    // A dark console strip under the buttons, lit along its edge so it reads
    // as a separate bar on the black screen.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(18, 30, 52));
    g.setColorAt(1, QColor(6, 12, 26));
    p.fillPath(body, g);
    p.setPen(QPen(QColor(40, 80, 130), 1));
    p.drawPath(body);
}
