#include "modaudiomon.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>

ModAudioMon::ModAudioMon(std::unique_ptr<WaveInput> input, QObject* parent)
    : QObject(parent), m_input(std::move(input)), m_buffer(int(WaveInput::BlockSize), char(128))
{
}

ModAudioMon::~ModAudioMon()
{
    // No callback may run into a destroyed monitor.
    if (m_input)
        m_input->close();
    if (m_loop)
        m_loop->quit();
}

bool ModAudioMon::Start()
{
    if (m_running)
        return true;
    if (!m_input || !m_input->open([this](const uint8_t* b, size_t n) { MonitorCallback(b, n); }))
        return false;
    m_running = true;
    emit runningChanged(true);
    RunMonitor();
    return true;
}

void ModAudioMon::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_input->close();
    emit runningChanged(false);
    wake();
}

void ModAudioMon::RunMonitor()
{
    QPointer<ModAudioMon> self(this);
    while (m_running) {
        m_bufferDone = false;
        while (m_running && !m_bufferDone) {
            QEventLoop loop;
            m_loop = &loop;
            // A wake posted before exec() is still delivered inside it.
            const int rc = (m_running && !m_bufferDone) ? loop.exec() : 0;
            if (!self)
                return; // destroyed from inside the loop
            m_loop = nullptr;
            if (rc < 0) {
                // The application is quitting: nested loops return at once.
                Stop();
            }
        }
        QByteArray block;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            block = m_buffer;
        }
        ++m_blocksDrawn;
        emit blockReady(block);
    }
}

void ModAudioMon::MonitorCallback(const uint8_t* block, size_t size)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_buffer = QByteArray(reinterpret_cast<const char*>(block), int(size));
    }
    m_bufferDone = true;
    QMetaObject::invokeMethod(this, &ModAudioMon::wake, Qt::QueuedConnection);
}

void ModAudioMon::wake()
{
    if (m_loop)
        m_loop->quit();
}
