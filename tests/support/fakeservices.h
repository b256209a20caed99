#pragma once

#include "fakesystemmixer.h"
#include "fakewaveinput.h"
#include "filedialogrunner.h"
#include "mainwindow.h"

#include <QStringList>

#include <memory>
#include <optional>

// The window's machine services replaced by fakes that remember what they
// were asked: mixer writes, media command strings, dialog requests.
struct FakeServices
{
    QMap<int, long> mixerValues{{FakeSystemMixer::SpeakerVolume, 30000},
                                {FakeSystemMixer::SpeakerMute, 0},
                                {FakeSystemMixer::WaveVolume, 40000},
                                {FakeSystemMixer::WaveMute, 1}};
    QList<QPair<int, long>> mixerWrites;
    QStringList commands;
    QList<FileDialogRequest> dialogs;
    QString dialogAnswer; // empty: the dialog is cancelled
    int drags = 0;        // window moves handed to the window manager

    MainWindowServices make()
    {
        MainWindowServices s;
        s.mixer = std::make_unique<FakeSystemMixer>(mixerValues, mixerWrites);
        s.send = [this](const QString& command) {
            commands << command;
            return 0;
        };
        s.waveInput = std::make_unique<FakeWaveInput>();
        s.fileDialog = [this](const FileDialogRequest& request) -> std::optional<QString> {
            dialogs << request;
            if (dialogAnswer.isEmpty())
                return std::nullopt;
            return dialogAnswer;
        };
        s.dragWindow = [this](QWidget*) { ++drags; };
        return s;
    }
};
