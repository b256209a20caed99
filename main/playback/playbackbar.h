#pragma once

#include "commandsink.h"
#include "mixerfunctions.h"
#include "windowstate.h"

#include <QWidget>

#include <functional>

class Player;
class PictureStack;
class QLabel;
class VolumeControl;

// What the control bar needs from the window; nothing else is known to it.
struct PlaybackContext
{
    CommandSink send;                                 // mciSendString
    std::function<QString(const QString&)> shortPath; // ShortPath
    std::function<void(int)> wait;                    // Pause
    WindowState* state = nullptr;                     // selectedFile, playingFile
    MixerFunctions mixer;
};

// The control bar `PicMag2` at the top of the task panel: play, pause/resume
// and stop buttons, the progress bar that is also a seek bar, the elapsed
// time and the task's length, and the volume slider. It translates clicks
// into Player operations and shows the Player's counters.
class PlaybackBar : public QWidget
{
    Q_OBJECT
public:
    explicit PlaybackBar(const PlaybackContext& context, QWidget* parent = nullptr);

    // Set by the owner: whether a list line is selected, and the length
    // caption (whole seconds) of the selected task.
    void setSelectionSource(std::function<bool()> hasSelection,
                            std::function<QString()> lengthCaption);

    // The buttons, as if pressed with the left button (down, then up).
    void pressPlay();
    void pressPause();
    void pressStop();
    // The stop button's normal picture in front.
    void showStopNormal();
    // A click on the progress bar, in pixels from its left edge.
    void clickBar(int x);

    // The task's length beside the elapsed time: minutes and seconds texts.
    void setLength(const QString& minutes, const QString& seconds);

    Player& player() const { return *m_player; }
    VolumeControl& volume() const { return *m_volume; }
    // Where the playback animation (GifCtl7) is to be placed.

signals:
    // True exactly while sound plays (GifCtl7.Enabled).
    void playingChanged(bool playing);

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onPlayPressed(int index);
    void onPausePressed(int index);
    void onStopPressed();
    void showStoppedPictures();
    void sync();

    PlaybackContext m_context;
    std::function<bool()> m_hasSelection;
    std::function<QString()> m_lengthCaption;
    Player* m_player;
    VolumeControl* m_volume;
    PictureStack* m_play;
    PictureStack* m_pause;
    PictureStack* m_stop;
    QLabel* m_sliderFon;
    QLabel* m_slider;
    QWidget* m_sliderClick;
    QLabel* m_minutes;
    QLabel* m_seconds;
    QLabel* m_lengthMinutes;
    QLabel* m_lengthSeconds;
    QWidget* m_gifHost;
};
