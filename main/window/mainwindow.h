#pragma once

#include "commandsink.h"
#include "deviceface.h"
#include "filedialogrunner.h"
#include "mixerlevels.h"
#include "stateholders.h"
#include "systemmixer.h"
#include "waveinput.h"
#include "windowstate.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class BackgroundChooser;
class CalendarPanel;
class CdlOpenSave;
class Clock;
class ControlTarget;
class DeletePanel;
class DialPanel;
class FocusMark;
class EncoderPipeline;
class GifCtl;
class MMixer;
class MenuPanel;
class ModAudioMon;
class NewTaskFlow;
class RecordingPanel;
class SettingsPanel;
class StartPicture;
class TaskFolder;
class TaskListPanel;

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;

// What the window uses of the machine, built by the program's main() (the
// ALSA mixer, the media command interpreter, ALSA wave input, Qt's file
// dialog) or by a test (fakes).
struct MainWindowServices
{
    std::unique_ptr<SystemMixer> mixer;
    CommandSink send;
    std::unique_ptr<WaveInput> waveInput;
    // The task names of programFolder + "/Media/", already being read
    // (TaskFolder::prefetch); empty: the window reads them itself.
    std::shared_ptr<TaskFolder> taskFolder;
    FileDialogRunner fileDialog;
    // Where the sound levels found at start-up are kept until the program
    // has put them back (empty: nowhere).
    QString levelsFile;
    // Hands the window to the window manager for a move (DragWindow).
    std::function<void(QWidget* window)> dragWindow;
};

// The one window of Quillmur: a black handheld device with a screen on which
// exactly one panel is in front at a time. The window owns the state shared
// by the panels and the panels themselves, and is the only one that connects
// them: panels report through signals and never call the window. A press of
// the control button goes to the panel that answers the current panelMode.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    // When the start-up work that the first frame does not show is done (the
    // panels behind the start picture, the sound defaults, the picture and
    // task lists, the recovery of unfinished notes): before the constructor
    // returns, or right after the window's first frame has been drawn, so
    // that the program's window appears at once.
    enum class StartUp { Complete, AfterFirstFrame };

    MainWindow(const QString& programFolder, const QString& scratchFolder, const Clock& clock,
               MainWindowServices services, StartUp startUp = StartUp::Complete,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    WindowState& state() { return m_state; }
    const WindowState& state() const { return m_state; }

    const QString& programFolder() const { return m_programFolder; }
    QString mediaFolder() const { return m_programFolder + "/Media"; }

    // Brings a panel to the front of the stacking order (others stay shown).
    void showPanel(QFrame* panel) { m_face->showPanel(panel); }
    QFrame* frontPanel() const { return m_face->frontPanel(); }
    QFrame* panel(const QString& name) const { return m_face->panel(name); }

    void setHint(const QString& text);
    QString hint() const { return m_face->hint(); }

    // Loads Data/1.jpg, then the picture named by Text1, into fonMeny.
    void loadBackground();
    QPixmap background() const;

    // Draws the menu anew over the background picture and shows it.
    void buildMenu();
    // The panels behind the start picture (null until start-up has finished).
    MenuPanel* menu() const { return m_menu; }
    DialPanel* dial() const { return m_dial; }
    CalendarPanel* calendar() const { return m_calendar; }
    TaskListPanel* taskList() const { return m_taskList; }
    RecordingPanel* recording() const { return m_recording; }
    // The animated picture named like "GifCtl9", or item i of GifCtl1.
    GifCtl* gifCtl(int number, int item = 0) const;

    // The sound defaults: saves the levels to put back at shutdown, then
    // speakers to 50 or 100 %, wave and microphone to 100 % and unmuted.
    void sohranit();

    // A press of the control button's zone: the panel that answers the
    // current panelMode acts on it.
    void pressControlButton(ButtonZone zone);
    // imyFileMp3: the scratch folder, then the task being made.
    QString taskPath() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    // The keyboard: each key is a press a mouse user can make (see the
    // help text's list of keys).
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // The control the next key acts on in the panel in front (framed by the
    // focus mark); nullptr where only the pad answers.
    QWidget* keyTarget() const;
    bool calendarKey(QKeyEvent* e);
    void buildScreen(std::function<void(QWidget*)> dragWindow);
    void showStartPicture();
    void finishStartUp(); // both steps below where not done yet, then notes left unfinished
    void buildPanels();   // every panel
    void showFirstList(); // the task panels and the past tasks
    void namesRead();     // the task names read ahead have come
    void buildScreenPanels();
    void buildHolders();
    void buildTaskPanels();
    void buildRecording();
    void buildSettings();
    void onMenuItem(int item);
    void recordIntoFile();
    ControlTarget* controlTarget() const;
    void shutDown();
    void saveRecordingInProgress();
    void leaveRecordingPanel();

    QString m_programFolder;
    QString m_scratchFolder;
    QString m_recordingRefusal;            // why no recording can be made, if so
    std::optional<QString> m_settingsLine; // Data/index.txt as read at start-up
    const Clock& m_clock;
    WindowState m_state;

    DeviceFace* m_face = nullptr;
    FocusMark* m_focusMark = nullptr;
    StartPicture* m_fonMeny = nullptr;
    MenuPanel* m_menu = nullptr;
    DialPanel* m_dial = nullptr;
    CalendarPanel* m_calendar = nullptr;
    StateHolders m_holders;
    CommandSink m_send;
    std::unique_ptr<MMixer> m_mixer;
    KeptMixerLevels m_levels;
    FileDialogRunner m_fileDialog;
    std::unique_ptr<CdlOpenSave> m_saveDialog;
    ModAudioMon* m_monitor = nullptr;
    RecordingPanel* m_recording = nullptr;
    EncoderPipeline* m_encoder = nullptr;
    NewTaskFlow* m_newTask = nullptr;
    // The task names, read meanwhile when the first frame comes first.
    std::shared_ptr<TaskFolder> m_taskFolder;
    TaskListPanel* m_taskList = nullptr;
    DeletePanel* m_deletePanel = nullptr;
    SettingsPanel* m_settings = nullptr;
    BackgroundChooser* m_backgrounds = nullptr;
    bool m_startedUp = false;     // buildPanels() has run
    bool m_startUpQueued = false; // ... or is on its way after the first frame
    bool m_firstListShown = false;
    bool m_recovered = false;
    bool m_shutDown = false;
};
