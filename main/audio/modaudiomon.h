#pragma once

#include "waveinput.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>

class QEventLoop;

// The input level monitor: reads the sound input in blocks of 256 unsigned
// 8-bit samples and hands every block to the level picture. Start runs a
// nested event loop until Stop, like a modal dialog: all other events are
// handled meanwhile, and the loop sleeps until the input signals a full block.
class ModAudioMon : public QObject
{
    Q_OBJECT
public:
    explicit ModAudioMon(std::unique_ptr<WaveInput> input, QObject* parent = nullptr);
    ~ModAudioMon() override;

    // The `CmdMonitor` action. Returns false at once when the input cannot
    // be opened (the caller shows the error); otherwise returns true only
    // after Stop has been called. Does nothing while already running.
    bool Start();
    // The `CmdMonitorStop` action: closes the input; a running Start
    // draws the last block and returns.
    void Stop();
    bool isRunning() const { return m_running; }
    // Blocks handed to the picture so far (for tests and the benchmark).
    qint64 blocksDrawn() const { return m_blocksDrawn; }

signals:
    void runningChanged(bool running);
    // One block to draw (`DrawLevel`), 256 bytes.
    void blockReady(const QByteArray& block);

private:
    void RunMonitor();
    // Runs on the capture thread: keep the block and wake the loop.
    void MonitorCallback(const uint8_t* block, size_t size);
    void wake();

    std::unique_ptr<WaveInput> m_input;
    bool m_running = false;
    QEventLoop* m_loop = nullptr;
    std::atomic<bool> m_bufferDone{false};
    std::mutex m_mutex;
    QByteArray m_buffer;
    qint64 m_blocksDrawn = 0;
};
