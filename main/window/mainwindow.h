#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class CalendarPanel;
class Clock;
class ControlButton;
class DialPanel;
class MenuPanel;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
enum class ButtonZone;

// The one window of Quillmur: a black handheld device with a screen on which
// exactly one panel is in front at a time. The window owns the state shared
// by the panels and the panels themselves; the control button under the
// screen asks the window what a press means in the current panelMode.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    MainWindow(const QString& programFolder, const QString& scratchFolder, const Clock& clock,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shared window state.
    quint8 panelMode = 199;
    bool isRecording = false;
    quint8 buttonZone = 0;
    QString chosenDay;
    QString chosenMonth;
    QString selectedFile;
    QString playingFile;
    QString saveTarget;

    const QString& programFolder() const { return m_programFolder; }
    QString mediaFolder() const { return m_programFolder + "/Media"; }
    const Clock& clock() const { return m_clock; }

    // Brings a panel to the front of the stacking order (others stay shown).
    void showPanel(QFrame* panel);
    QFrame* frontPanel() const;
    QFrame* panel(const QString& name) const;

    void setHint(const QString& text);
    QString hint() const;

    // Loads Data/1.jpg, then the picture named by Text1, into fonMeny.
    void loadBackground();
    QPixmap background() const;

    // Draws the menu anew over the background picture and shows it.
    void buildMenu();
    MenuPanel* menu() const { return m_menu; }
    DialPanel* dial() const { return m_dial; }
    CalendarPanel* calendar() const { return m_calendar; }

    // What a press of the control button's zone does in the current panelMode.
    void pressControlButton(ButtonZone zone);
    // imyFileMp3: the scratch folder, then the task being made.
    QString taskPath() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void startUp();
    void fillPictureList();
    void onControlButton(ButtonZone zone);
    void pressOk();
    void onMenuItem(int item);
    void shutDown();

    QString m_programFolder;
    const Clock& m_clock;

    QLabel* m_picture1 = nullptr;
    QList<QFrame*> m_panels;
    QLabel* m_fonMeny = nullptr;
    QLabel* m_lbHelp = nullptr;
    QLabel* m_lampa = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblTitle = nullptr;
    MenuPanel* m_menu = nullptr;
    DialPanel* m_dial = nullptr;
    CalendarPanel* m_calendar = nullptr;
    QLabel* m_picProzr = nullptr;
    ControlButton* m_picOK = nullptr;
    QLineEdit* m_imyFileMp3 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QListWidget* m_file1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_timer3 = nullptr;
    bool m_shutDown = false;
};
