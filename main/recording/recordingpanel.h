#pragma once

#include "commandsink.h"

#include <QString>
#include <QWidget>

#include <functional>

class Clock;
class CommentField;
class ImageButton;
class LevelDisplay;
class MMixer;
class ModAudioMon;
class QLabel;
class QPushButton;
class QTimer;

// The contents of the recording panel `fraMonitor` (200 x 300 px): record,
// pause and stop through media command strings with the alias "mywav", the
// elapsed time and the blinking lamp, the comment field, the speaker mute
// icon, the level monitor's picture and buttons, and the two settings
// buttons `Sohranit` and `picMixer`.
//
// The panel does not know the main window: it gets the clock, the mixer, the
// command sink and the scratch folder when built, the lamp and the monitor
// through setters, and tells the window what to do by signals.
class RecordingPanel : public QWidget
{
    Q_OBJECT
public:
    static const QString kLabel6Text;
    static const QString kSavingHint; // "Подождите идет сохранение файла"

    // `driveRoot` is the scratch folder with its trailing '/' (test.wav goes
    // there). `mixer` may be null (no speaker mute then).
    RecordingPanel(const Clock& clock, MMixer* mixer, CommandSink send, const QString& driveRoot,
                   QWidget* parent = nullptr);
    ~RecordingPanel() override;

    // `Lampa`: the window's recording lamp, blinked by the recording tick.
    void setLamp(QWidget* lampa) { m_lampa = lampa; }
    // The level monitor driven by `CmdMonitor` / `CmdMonitorStop` and
    // stopped by the stop button. Not owned.
    void setMonitor(ModAudioMon* monitor);
    // The "blocking" waits after pause (200 ms) and stop (1000 ms); a plain
    // sleep by default, tests hand in their own.
    void setBlockingWait(std::function<void(int ms)> wait) { m_blockingWait = std::move(wait); }
    // Where each recording is saved: a new, empty folder per note (the
    // encoder pipeline's), empty when none can be made. Without it the
    // scratch folder itself.
    void setNoteFolderSource(std::function<QString()> source) { m_noteFolder = std::move(source); }
    // Why no recording can be made (no private scratch folder); a press of
    // the record button then only shows this in the hint line.
    void setRefusal(const QString& hintText) { m_refusal = hintText; }
    // That hint when there is no private scratch folder, for the reason
    // given (empty: none known).
    static QString noScratchFolderHint(const QString& problem);

    bool isRecording() const { return m_isRecording; }
    bool isPaused() const { return m_paused; }
    // Stop could not save the recording (a full disk): the recorder still
    // holds it, and the next Stop tries again.
    bool hasUnsavedNote() const { return m_unsaved; }
    const QString& unsavedNoteHint() const { return m_unsavedHint; }
    // The hint for a save that failed with `error` (a media command error,
    // or -1 when no note folder could be made) in `folder`.
    static QString unsavedHint(int error, const QString& folder);
    bool recordingAnimationEnabled() const { return m_gifEnabled; } // GifCtl4.Enabled
    QString comment() const;
    QTimer* timer2() const { return m_timer2; }

    // Button actions, as a press of the left button would run them.
    void pressRecord();
    void pressPause(int item);
    void pressStop();
    void clickSpeaker(int item);
    void cmdRecordClick();
    // The recording tick (`Timer2`).
    void tick();
    // The `CmdMonitor` action: runs the level monitor and returns once it
    // has been stopped (or at once, after the error message, without input).
    void startMonitor();
    // Stops the level monitor when it runs (the window's close).
    void stopMonitorIfRunning();
    // Shows the speaker icon matching the mixer's speaker mute.
    void syncSpeakerIcon();

signals:
    // A text for the hint line `lbHelp`.
    void hintChanged(const QString& text);
    // GifCtl4.Enabled: the recording animation runs while sound is recorded.
    void recordingAnimationChanged(bool enabled);
    void isRecordingChanged(bool recording);
    // Stop step: the start picture `fraZastavra` to the front.
    void showStartPicture();
    // test.wav is saved in `folder`: start the encoder with this comment
    // (txtKoment already holds the default when it was empty).
    // `deviceFailed`: the recording device could not be opened.
    void encoderRequested(const QString& comment, const QString& folder, bool deviceFailed);
    // `Sohranit` was clicked: run the mixer save action.
    void saveSettingsClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    int send(const QString& command);
    void setAnimation(bool on);
    void startRecording();

    const Clock& m_clock;
    MMixer* m_mixer;
    CommandSink m_send;
    QString m_driveRoot;
    QWidget* m_lampa = nullptr;
    ModAudioMon* m_monitor = nullptr;
    std::function<void(int)> m_blockingWait;
    std::function<QString()> m_noteFolder;
    QString m_refusal;
    bool m_deviceFailed = false;

    bool m_isRecording = false;
    bool m_unsaved = false;
    QString m_unsavedHint;
    bool m_paused = false;
    bool m_gifEnabled = false;

    ImageButton* m_imgRecord[2] = {};
    ImageButton* m_imgPausa[2] = {};
    ImageButton* m_imgStop[2] = {};
    ImageButton* m_imgDinamik[2] = {};
    QLabel* m_label2[3] = {};
    QLabel* m_label6 = nullptr;
    CommentField* m_txtKoment = nullptr;
    QPushButton* m_cmdRecord = nullptr;
    QPushButton* m_cmdMonitor = nullptr;
    QPushButton* m_cmdMonitorStop = nullptr;
    LevelDisplay* m_picDisplay = nullptr;
    QPushButton* m_sohranit = nullptr;
    ImageButton* m_picMixer = nullptr;
    QTimer* m_timer2 = nullptr;
};
