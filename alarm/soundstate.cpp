#include "soundstate.h"

#include <QList>
#include <QMap>

QByteArray SoundState::toText() const
{
    return "speaker=" + QByteArray::number(speakerVolume) +
           "\nwave=" + QByteArray::number(waveVolume) +
           "\nspeakerMute=" + (speakerMute ? "1" : "0") + "\nwaveMute=" + (waveMute ? "1" : "0") +
           "\n";
}

std::optional<SoundState> SoundState::fromText(const QByteArray& text)
{
    QMap<QByteArray, int> values;
    for (const QByteArray& line : text.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        const QByteArray key = line.left(eq).trimmed();
        bool ok = false;
        const int value = line.mid(eq + 1).trimmed().toInt(&ok);
        if (!ok || values.contains(key))
            return std::nullopt;
        values.insert(key, value);
    }
    const auto percent = [&](const char* key) -> std::optional<int> {
        const auto it = values.constFind(key);
        if (it == values.constEnd() || *it < 0 || *it > 100)
            return std::nullopt;
        return *it;
    };
    const auto flag = [&](const char* key) -> std::optional<bool> {
        const auto it = values.constFind(key);
        if (it == values.constEnd() || (*it != 0 && *it != 1))
            return std::nullopt;
        return *it == 1;
    };
    const auto speaker = percent("speaker"), wave = percent("wave");
    const auto speakerMute = flag("speakerMute"), waveMute = flag("waveMute");
    if (values.size() != 4 || !speaker || !wave || !speakerMute || !waveMute)
        return std::nullopt;
    return SoundState{*speaker, *wave, *speakerMute, *waveMute};
}
