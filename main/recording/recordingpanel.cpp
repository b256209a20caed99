#include "recordingpanel.h"

#include "animation.h"
#include "clock.h"
#include "commentfield.h"
#include "durablefile.h"
#include "encoderjob.h"
#include "gifctl.h"
#include "imagebutton.h"
#include "leveldisplay.h"
#include "mci.h"
#include "mmixer.h"
#include "modaudiomon.h"
#include "pressable.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>

const QString RecordingPanel::kLabel6Text =
    QStringLiteral("       Здесь вы можете добавить комментарий не более 30 символов.");
const QString RecordingPanel::kSavingHint = QStringLiteral("Подождите идет сохранение файла");

namespace {

const QString kAlias = QStringLiteral("mywav");

QPixmap art(const char* name)
{
    return QPixmap(QStringLiteral(":/art/") + QLatin1String(name));
}

QLabel* label(const QString& name, const QString& text, const QRect& geometry, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

} // namespace

RecordingPanel::RecordingPanel(const Clock& clock, MMixer* mixer, CommandSink send,
                               const QString& driveRoot, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_mixer(mixer), m_send(std::move(send)),
      m_driveRoot(driveRoot), m_blockingWait([](int ms) { QThread::msleep(ulong(ms)); })
{
    setObjectName(QStringLiteral("recordingPanel"));
    setFixedSize(200, 300);
    buildControls();
    // The recording animation, running while the microphone is heard.
    GifCtl* recording = Animation::make(this, 4, false);
    recording->setGeometry(136, 172, 56, 34);
    connect(this, &RecordingPanel::recordingAnimationChanged, recording, &GifCtl::SetEnabled);
}

RecordingPanel::~RecordingPanel() = default;

void RecordingPanel::buildControls()
{
    // The device's screen: dark glass, light text.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(16, 22, 30));
    pal.setColor(QPalette::WindowText, QColor(200, 225, 245));
    setPalette(pal);

    m_label6 = label(QStringLiteral("Label6"), kLabel6Text, {4, 2, 192, 34}, this);
    m_label6->setWordWrap(true);
    QFont small = m_label6->font();
    small.setPixelSize(10);
    m_label6->setFont(small);

    m_txtKoment = new CommentField(this);
    m_txtKoment->setGeometry(4, 38, 192, 22);
    // A whole comment (30 characters) is seen at once, none scrolled away.
    QFont commentFont = m_txtKoment->font();
    commentFont.setPixelSize(10);
    commentFont.setLetterSpacing(QFont::PercentageSpacing, 90);
    m_txtKoment->setFont(commentFont);

    m_picDisplay = new LevelDisplay(this);
    m_picDisplay->move(0, 66);

    // The three buttons; item 1 (pressed) lies under item 0 at first.
    const QRect recordBox(22, 134, 44, 32), pauseBox(78, 134, 44, 32), stopBox(134, 134, 44, 32);
    m_imgRecord[1] =
        new ImageButton(QStringLiteral("imgRecord_1"), art("rec_record1.png"), recordBox, this);
    m_imgRecord[0] =
        new ImageButton(QStringLiteral("imgRecord_0"), art("rec_record0.png"), recordBox, this);
    m_imgPausa[1] =
        new ImageButton(QStringLiteral("imgPausa_1"), art("rec_pause1.png"), pauseBox, this);
    m_imgPausa[0] =
        new ImageButton(QStringLiteral("imgPausa_0"), art("rec_pause0.png"), pauseBox, this);
    m_imgStop[1] =
        new ImageButton(QStringLiteral("imgStop_1"), art("rec_stop1.png"), stopBox, this);
    m_imgStop[0] =
        new ImageButton(QStringLiteral("imgStop_0"), art("rec_stop0.png"), stopBox, this);
    // For screen readers: what each picture does.
    for (int i = 0; i < 2; ++i) {
        Pressable::mark(m_imgRecord[i], QStringLiteral("Запись"));
        Pressable::mark(m_imgPausa[i], QStringLiteral("Пауза"));
        Pressable::mark(m_imgStop[i], QStringLiteral("Стоп"));
    }
    m_imgPausa[0]->setEnabled(false);

    for (int i = 0; i < 2; ++i) {
        connect(m_imgRecord[i], &ImageButton::pressed, this, [this] { pressRecord(); });
        connect(m_imgRecord[i], &ImageButton::released, this, [this] { m_imgRecord[0]->raise(); });
        connect(m_imgPausa[i], &ImageButton::pressed, this, [this, i] { pressPause(i); });
        connect(m_imgStop[i], &ImageButton::pressed, this, [this] { pressStop(); });
        connect(m_imgStop[i], &ImageButton::released, this, [this] { m_imgStop[0]->raise(); });
    }

    // Elapsed time: minutes "," seconds, no leading zeros.
    QFont big = font();
    big.setPixelSize(18);
    big.setBold(true);
    m_label2[0] = label(QStringLiteral("Label2_0"), QStringLiteral("0"), {70, 176, 24, 24}, this);
    m_label2[1] = label(QStringLiteral("Label2_1"), QStringLiteral(","), {94, 176, 8, 24}, this);
    m_label2[2] = label(QStringLiteral("Label2_2"), QStringLiteral("0"), {102, 176, 28, 24}, this);
    m_label2[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : m_label2)
        l->setFont(big);

    const QRect speakerBox(22, 176, 26, 24);
    m_imgDinamik[1] =
        new ImageButton(QStringLiteral("imgDinamik_1"), art("rec_dinamik1.png"), speakerBox, this);
    m_imgDinamik[0] =
        new ImageButton(QStringLiteral("imgDinamik_0"), art("rec_dinamik0.png"), speakerBox, this);
    m_imgDinamik[1]->hide();
    for (ImageButton* b : m_imgDinamik)
        Pressable::mark(b, QStringLiteral("Динамики"));
    for (int i = 0; i < 2; ++i)
        connect(m_imgDinamik[i], &ImageButton::pressed, this, [this, i] { clickSpeaker(i); });

    m_cmdMonitor = new QPushButton(QStringLiteral("&Monitor"), this);
    m_cmdMonitor->setObjectName(QStringLiteral("CmdMonitor"));
    m_cmdMonitor->setGeometry(22, 214, 76, 24);
    m_cmdMonitorStop = new QPushButton(QStringLiteral("Stop"), this);
    m_cmdMonitorStop->setObjectName(QStringLiteral("CmdMonitorStop"));
    m_cmdMonitorStop->setGeometry(102, 214, 76, 24);
    m_cmdMonitorStop->setEnabled(false);
    connect(m_cmdMonitor, &QPushButton::clicked, this, &RecordingPanel::startMonitor);
    connect(m_cmdMonitorStop, &QPushButton::clicked, this, [this] {
        if (m_monitor)
            m_monitor->Stop();
    });

    m_sohranit = new QPushButton(QStringLiteral("Записать настройеи"), this);
    m_sohranit->setObjectName(QStringLiteral("Sohranit"));
    m_sohranit->setGeometry(4, 262, 150, 26);
    connect(m_sohranit, &QPushButton::clicked, this, &RecordingPanel::saveSettingsClicked);

    m_picMixer =
        new ImageButton(QStringLiteral("picMixer"), art("rec_mixer.png"), {162, 262, 30, 26}, this);
    m_picMixer->setToolTip(QStringLiteral("Микшер записи"));
    Pressable::mark(m_picMixer, m_picMixer->toolTip());
    connect(m_picMixer, &ImageButton::pressed, this, [] {
        // The desktop's recording mixer, when one is installed.
        const QString mixer = QStandardPaths::findExecutable(QStringLiteral("pavucontrol"));
        if (!mixer.isEmpty())
            QProcess::startDetached(mixer, {QStringLiteral("--tab=4")});
    });

    // Off-screen and hidden (from screen readers too): its click is the
    // start of a recording, run by code.
    m_cmdRecord = new QPushButton(QStringLiteral("Запись"), this);
    m_cmdRecord->setObjectName(QStringLiteral("cmdRecord"));
    m_cmdRecord->setGeometry(-300, -300, 60, 24);
    m_cmdRecord->hide();
    connect(m_cmdRecord, &QPushButton::clicked, this, &RecordingPanel::cmdRecordClick);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &RecordingPanel::tick);
}

void RecordingPanel::setMonitor(ModAudioMon* monitor)
{
    m_monitor = monitor;
    if (!monitor)
        return;
    connect(monitor, &ModAudioMon::runningChanged, this, [this](bool running) {
        m_cmdMonitor->setEnabled(!running);
        m_cmdMonitorStop->setEnabled(running);
    });
    connect(monitor, &ModAudioMon::blockReady, m_picDisplay, &LevelDisplay::DrawLevel);
}

QString RecordingPanel::noScratchFolderHint(const QString& problem)
{
    return QStringLiteral("Запись невозможна: нет личной папки для записей (%1).")
        .arg(problem.isEmpty() ? QStringLiteral("папка не задана") : problem);
}

QString RecordingPanel::comment() const
{
    return m_txtKoment->text();
}

int RecordingPanel::send(const QString& command)
{
    return m_send ? m_send(command) : 0;
}

void RecordingPanel::setAnimation(bool on)
{
    m_gifEnabled = on;
    emit recordingAnimationChanged(on);
}

void RecordingPanel::startRecording()
{
    m_cmdRecord->click();
}

void RecordingPanel::cmdRecordClick()
{
    send(QStringLiteral("open new type waveaudio alias ") + kAlias);
    // A device that cannot be opened gives a recording without a frame;
    // the hint then says why.
    if (send(QStringLiteral("record ") + kAlias) != 0)
        m_deviceFailed = true;
}

void RecordingPanel::pressRecord()
{
    if (m_isRecording) {
        QApplication::beep();
        return;
    }
    if (!m_refusal.isEmpty()) {
        emit hintChanged(m_refusal);
        return;
    }
    // A note that could not be saved goes on: the recorder still holds it.
    if (!m_unsaved)
        m_deviceFailed = false;
    m_unsaved = false;
    m_imgPausa[0]->setEnabled(true);
    m_imgRecord[1]->raise();
    setAnimation(true);
    m_isRecording = true;
    m_paused = false;
    emit isRecordingChanged(true);
    startRecording();
    m_timer2->start();
}

void RecordingPanel::pressPause(int item)
{
    if (item == 0) {
        if (!m_isRecording || m_paused || !m_imgPausa[0]->isEnabled())
            return;
        m_timer2->stop();
        m_imgPausa[1]->raise();
        m_imgPausa[1]->setEnabled(true);
        setAnimation(false);
        m_paused = true;
        m_blockingWait(200);
        send(QStringLiteral("stop ") + kAlias);
        return;
    }
    // Resume only what is paused: after a stop the held-down picture must
    // not start a recording of its own.
    if (!m_isRecording || !m_paused)
        return;
    setAnimation(true);
    m_imgPausa[0]->raise();
    m_paused = false;
    // "open" fails harmlessly (the alias is still open); "record" goes on.
    startRecording();
    m_timer2->start();
}

void RecordingPanel::pressStop()
{
    if (!m_isRecording && !m_unsaved)
        return;
    if (m_isRecording) {
        m_isRecording = false;
        emit isRecordingChanged(false);
        m_imgPausa[0]->setEnabled(false);
        m_imgPausa[0]->raise();
        m_paused = false;
        setAnimation(false);
        if (m_monitor)
            m_monitor->Stop();
        emit hintChanged(kSavingHint);
        m_blockingWait(1000);
        send(QStringLiteral("stop ") + kAlias);
        m_timer2->stop();
        // The lamp goes out with the recording, whatever the last tick left.
        if (m_lampa)
            m_lampa->hide();
        m_label2[0]->setText(QStringLiteral("0"));
        m_label2[2]->setText(QStringLiteral("0"));
        m_imgStop[1]->raise();
        if (m_txtKoment->text().isEmpty())
            m_txtKoment->setText(QStringLiteral("Без_комментарий."));
    }
    // Each note its own folder: a note still being encoded keeps its WAV.
    const QString folder = m_noteFolder ? m_noteFolder() : m_driveRoot;
    const int saved =
        folder.isEmpty()
            ? -1
            : send(QStringLiteral("save ") + kAlias + QLatin1Char(' ') + folder + EncoderJob::kWav);
    if (saved != 0) {
        // The sound stays with the recorder: nothing is lost, and Stop (or
        // OK) tries again once there is room.
        if (!folder.isEmpty() && folder != m_driveRoot)
            QDir().rmdir(folder);
        m_unsaved = true;
        m_unsavedHint = unsavedHint(saved, m_driveRoot);
        emit hintChanged(m_unsavedHint);
        return;
    }
    m_unsaved = false;
    emit showStartPicture();
    send(QStringLiteral("close ") + kAlias);
    m_cmdRecord->setEnabled(true);
    emit encoderRequested(m_txtKoment->text(), folder, m_deviceFailed);
}

QString RecordingPanel::unsavedHint(int error, const QString& folder)
{
    QString why;
    switch (error) {
    case MciDiskFull:
        why = DurableFile::problem(ENOSPC, folder);
        break;
    case MciWriteProtected:
        why = DurableFile::problem(EACCES, folder);
        break;
    case -1:
        why = QStringLiteral("не удалось создать папку в %1").arg(DurableFile::shown(folder));
        break;
    default:
        why = QStringLiteral("ошибка записи в %1").arg(DurableFile::shown(folder));
        break;
    }
    return QStringLiteral("Запись не сохранена: %1. Звук не потерян: %2")
        .arg(why, error == MciDiskFull ? QStringLiteral("освободите место и нажмите Стоп.")
                                       : QStringLiteral("нажмите Стоп ещё раз."));
}

void RecordingPanel::tick()
{
    // The lamp blinks in step with the clock: lit on even seconds.
    if (m_lampa)
        m_lampa->setVisible(m_clock.now().time().second() % 2 == 0);
    int seconds = m_label2[2]->text().toInt() + 1;
    if (seconds == 60) {
        seconds = 0;
        m_label2[0]->setText(QString::number(m_label2[0]->text().toInt() + 1));
    }
    m_label2[2]->setText(QString::number(seconds));
}

void RecordingPanel::clickSpeaker(int item)
{
    const bool mute = item == 0;
    if (m_mixer)
        m_mixer->SetMute(MMixer::SpeakerMute, mute);
    m_imgDinamik[0]->setVisible(!mute);
    m_imgDinamik[1]->setVisible(mute);
}

void RecordingPanel::syncSpeakerIcon()
{
    const bool muted = m_mixer && m_mixer->GetMute(MMixer::SpeakerMute);
    m_imgDinamik[0]->setVisible(!muted);
    m_imgDinamik[1]->setVisible(muted);
}

void RecordingPanel::startMonitor()
{
    if (m_monitor && !m_monitor->Start())
        QMessageBox::critical(this, QStringLiteral("Audio Monitor") + QStringLiteral(" - Error"),
                              QStringLiteral("Unable to open wave input device."));
}

void RecordingPanel::stopMonitorIfRunning()
{
    if (m_monitor && m_cmdMonitorStop->isEnabled())
        m_monitor->Stop();
}

void RecordingPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    syncSpeakerIcon();
}
