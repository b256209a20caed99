#include "mci.h"

#include "mcisession.h"
#include "mp3player.h"

namespace {

// Constructed on first use and destroyed at process exit, which stops every
// sound and joins the worker threads before the process ends.
MciSession& session()
{
    static MciSession s;
    return s;
}

} // namespace

int mciSendString(const QString& command)
{
    return session().send(command);
}

bool mciIsPlaying(const QString& file)
{
    return session().isPlaying(file);
}

bool mciAdopt(const QString& cueCommand, EarlySound& early)
{
    if (std::unique_ptr<Mp3Player> chime = early.takeChime())
        return session().adopt(cueCommand, std::move(chime));
    return session().adopt(cueCommand, early.takeCue());
}

void mciShutdown()
{
    session().shutdown();
}

QString mciErrorText(int code)
{
    switch (code) {
    case MciOk:
        return QStringLiteral("The command completed successfully.");
    case MciUnknownCommand:
        return QStringLiteral("The command is not understood.");
    case MciAliasInUse:
        return QStringLiteral("The alias is already in use.");
    case MciNoSuchDevice:
        return QStringLiteral("The device is not open.");
    case MciFileNotFound:
        return QStringLiteral("The file cannot be found.");
    case MciCannotDecode:
        return QStringLiteral("The file cannot be played: it is not an MP3 file.");
    case MciNoSoundDevice:
        return QStringLiteral("No sound device is available.");
    case MciWriteFailed:
        return QStringLiteral("The file cannot be written.");
    case MciDiskFull:
        return QStringLiteral("The file cannot be written: the disk is full.");
    case MciWriteProtected:
        return QStringLiteral("The file cannot be written: the folder is write-protected.");
    }
    return QStringLiteral("Unknown media error %1.").arg(code);
}
