#include "mcisession.h"

#include "alsarecorder.h"
#include "mci.h"
#include "mp3player.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

MciSession::MciSession() = default;

MciSession::~MciSession()
{
    shutdown();
}

void MciSession::shutdown()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_recorders.clear();
    m_players.clear();
}

bool MciSession::isPlaying(const QString& file)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto player = m_players.find(file);
    return player != m_players.end() && player->second->isPlaying();
}

bool MciSession::adopt(const QString& cueCommand, CuedMp3 mp3)
{
    const std::optional<MciCommand> cmd = parseMciCommand(cueCommand);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!cmd || cmd->verb != MciCommand::Verb::Cue || mp3.error != MciOk ||
        m_players.count(cmd->target) != 0) {
        closeMp3(mp3);
        return false;
    }
    m_players.emplace(cmd->target, std::make_unique<Mp3Player>(
                                       QFile::encodeName(cmd->target).toStdString(), mp3));
    return true;
}

bool MciSession::adopt(const QString& cueCommand, std::unique_ptr<Mp3Player> player)
{
    const std::optional<MciCommand> cmd = parseMciCommand(cueCommand);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!player || !cmd || cmd->verb != MciCommand::Verb::Cue || m_players.count(cmd->target) != 0)
        return false;
    m_players.emplace(cmd->target, std::move(player));
    return true;
}

int MciSession::send(const QString& command)
{
    const std::optional<MciCommand> cmd = parseMciCommand(command);
    if (!cmd)
        return MciUnknownCommand;
    std::lock_guard<std::mutex> lock(m_mutex);
    return execute(*cmd);
}

int MciSession::execute(const MciCommand& cmd)
{
    using Verb = MciCommand::Verb;
    const QString alias = cmd.target.toLower();
    const auto recorder = m_recorders.find(alias);
    const bool isAlias = recorder != m_recorders.end();

    switch (cmd.verb) {
    case Verb::Open:
        if (isAlias)
            return MciAliasInUse;
        m_recorders.emplace(alias, std::make_unique<AlsaRecorder>());
        return MciOk;
    case Verb::Record:
        if (!isAlias)
            return MciNoSuchDevice;
        return recorder->second->start() ? MciOk : MciNoSoundDevice;
    case Verb::Save:
        if (!isAlias)
            return MciNoSuchDevice;
        switch (const int err = recorder->second->save(cmd.path)) {
        case 0:
            return MciOk;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return MciDiskFull;
        case EROFS:
        case EACCES:
        case EPERM:
            return MciWriteProtected;
        default:
            (void)err;
            return MciWriteFailed;
        }
    case Verb::Close:
        if (!isAlias)
            return MciNoSuchDevice;
        m_recorders.erase(recorder);
        return MciOk;
    case Verb::Stop:
    case Verb::Pause:
        if (isAlias) {
            recorder->second->stop();
            return MciOk;
        }
        break;
    case Verb::Play:
    case Verb::Cue:
        break;
    }

    // Playback: the device is the file itself, opened on first use.
    auto player = m_players.find(cmd.target);
    if (cmd.verb == Verb::Play || cmd.verb == Verb::Cue) {
        if (player == m_players.end()) {
            auto created = std::make_unique<Mp3Player>(QFile::encodeName(cmd.target).toStdString());
            const int loaded = created->load();
            if (loaded != MciOk)
                return loaded;
            player = m_players.emplace(cmd.target, std::move(created)).first;
        }
        if (cmd.verb == Verb::Cue)
            return player->second->cue();
        const auto ms = [](std::optional<qint64> v) {
            return v ? std::optional<int64_t>(*v) : std::nullopt;
        };
        return player->second->play(ms(cmd.fromMs), ms(cmd.toMs));
    }
    if (player == m_players.end())
        return QFileInfo(cmd.target).isFile() ? MciOk : MciFileNotFound;
    if (cmd.verb == Verb::Pause) {
        player->second->pause();
    } else {
        // Stop ends the sound and frees the decoder; the next Play starts
        // from the beginning.
        m_players.erase(player);
    }
    return MciOk;
}
