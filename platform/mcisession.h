#pragma once

#include "earlysound.h"
#include "mcicommand.h"

#include <QString>

#include <map>
#include <memory>
#include <mutex>

class AlsaRecorder;
class Mp3Player;

// The devices behind the media command strings of one process: recorders by
// alias and players by file name.
class MciSession
{
public:
    MciSession();
    ~MciSession();

    // Carries out one command string; returns an MciError code.
    int send(const QString& command);
    // Takes `mp3` over as the player a "Cue <file>" command would have
    // opened (see mciAdopt).
    bool adopt(const QString& cueCommand, CuedMp3 mp3);
    // The same for a player made ahead, which may play already.
    bool adopt(const QString& cueCommand, std::unique_ptr<Mp3Player> player);
    // Whether the player of `file` is sounding.
    bool isPlaying(const QString& file);
    // Ends every recording and playback and frees their devices.
    void shutdown();

private:
    int execute(const MciCommand& cmd);

    std::mutex m_mutex;
    std::map<QString, std::unique_ptr<AlsaRecorder>> m_recorders; // by lower-case alias
    std::map<QString, std::unique_ptr<Mp3Player>> m_players;      // by file name
};
