#pragma once

#include "alarmsound.h"
#include "mmixer.h"
#include "singleinstance.h"

#include <QString>

#include <memory>
#include <thread>

// Everything the alarm does before its bar, on a thread of its own so that it
// runs while the application object is being built: the single-instance
// lock, what a killed player left put back, the mixer turned up, and then
// the sound. The sound device is opened meanwhile on a second thread, but
// nothing is played before the mixer is up.
//
// Construct it on the main thread before the application object and before
// any other thread uses Qt (Qt takes the first thread that does for its
// main thread); call wait() once the application object stands.
class AlarmStart
{
public:
    struct Result
    {
        bool alreadyRunning = false; // another player holds the lock: nothing was touched
        int error = 0;               // MciError of the sound, 0 when it plays
        QString detail;              // what a message about the error names
    };

    explicit AlarmStart(const QString& ownFolder);
    ~AlarmStart();
    AlarmStart(const AlarmStart&) = delete;
    AlarmStart& operator=(const AlarmStart&) = delete;

    // Waits for the work to end. From then on sound() belongs to the
    // calling thread.
    Result wait();
    AlarmSound& sound() { return *m_sound; }

private:
    void run(const QString& ownFolder);

    SingleInstance m_instance;
    MMixer m_mixer;
    std::unique_ptr<AlarmSound> m_sound;
    Result m_result;
    std::thread m_thread;
};
