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
// The module's two entry points, by these names:
//   tinkraCreateApplication: builds the application object (a QApplication).
//   tinkraShowWindow: shows the message about a failed sound (when the text
//     is not empty), then the bar, and starts its timer; `timeUp` is called
//     when the alarm is over. The caller owns the bar it returns.
extern "C" {
using CreateAlarmApplication = QCoreApplication* (*)(int* argc, char** argv);
using ShowAlarmWindow = QObject* (*)(const QString* errorText, const QString* errorDetail,
                                     const std::function<void()>* timeUp);
}

class AlarmWindowModule
{
public:
    // How long the alarm lasts (`Timer1`).
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
