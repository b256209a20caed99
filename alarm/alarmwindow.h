#pragma once

#include <QLibrary>
#include <QString>

#include <functional>

class QCoreApplication;
class QObject;

// The player's window (the bar and the message box) lives in a module of
// its own beside the player, loaded once the sound plays. The widget
// libraries take several milliseconds to load, more than anything else
// before the sound; the player itself needs only Qt Core.
//
// What the player hands the window module.
struct AlarmWindowContent
{
    QString errorText;            // the message about a failed sound; none when empty
    QString errorDetail;          // what that message names
    QString noteCaption;          // the line about the due notes under the title; none when empty
    std::function<void()> timeUp; // Timer1 ran out: the chime is over
};

// The module's two entry points, by these names:
//   tinkraCreateApplication: builds the application object (a QApplication).
//   tinkraShowBar: shows the message about a failed sound (when there is
//     one), then the bar with its caption, and starts its timer. The caller
//     owns the bar it returns.
// The player and the module are installed together; still, a module of
// another build must be refused rather than misread, so the entry point gets
// a new name whenever AlarmWindowContent changes.
extern "C" {
using CreateAlarmApplication = QCoreApplication* (*)(int* argc, char** argv);
using ShowAlarmWindow = QObject* (*)(const AlarmWindowContent* content);
}

class AlarmWindowModule
{
public:
    // How long the chime lasts (`Timer1`).
    static constexpr int AlarmMs = 5000;

    static QString fileIn(const QString& ownFolder);

    // Loads the module from `ownFolder`; false, with error() saying why,
    // when it cannot be loaded or lacks an entry point.
    bool load(const QString& ownFolder);
    QString error() const { return m_error; }

    CreateAlarmApplication createApplication = nullptr;
    ShowAlarmWindow showWindow = nullptr;

private:
    QLibrary m_library;
    QString m_error;
};
