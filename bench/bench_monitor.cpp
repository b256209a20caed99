// Processor use of the input level monitor while it runs: the nested loop
// must sleep between blocks instead of spinning. Reported as the counter
// cpu_percent (process CPU time over wall time, one core = 100).
#include "benchrows.h"
#include "leveldisplay.h"
#include "modaudiomon.h"
#include "waveinput.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

namespace {

// Blocks at the real rate (256 samples at 11025 Hz) with a little speech-like
// swing, so the picture changes with every block.
class PacedInput : public WaveInput
{
public:
    ~PacedInput() override { close(); }
    bool open(BlockDone onBlock) override
    {
        m_stop = false;
        m_thread = std::thread([this, onBlock] {
            std::vector<uint8_t> block(BlockSize);
            const auto period = std::chrono::microseconds(1000000 * BlockSize / SampleRate);
            auto next = std::chrono::steady_clock::now();
            for (unsigned n = 0; !m_stop; ++n) {
                next += period;
                std::this_thread::sleep_until(next);
                for (size_t i = 0; i < block.size(); ++i)
                    block[i] = uint8_t(128 + int((i * 7 + n * 13) % 41) - 20);
                onBlock(block.data(), block.size());
            }
        });
        return true;
    }
    void close() override
    {
        if (!m_thread.joinable())
            return;
        m_stop = true;
        m_thread.join();
    }
    bool isOpen() const override { return m_thread.joinable(); }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

double processSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void runMonitor(benchmark::State& state, std::unique_ptr<WaveInput> input)
{
    ModAudioMon monitor(std::move(input));
    LevelDisplay display;
    QObject::connect(&monitor, &ModAudioMon::blockReady, &display, &LevelDisplay::DrawLevel);
    display.show();
    double cpu = 0, wall = 0;
    qint64 blocks = 0;
    for (auto _ : state) {
        const qint64 before = monitor.blocksDrawn();
        const double cpu0 = processSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        QTimer::singleShot(1000, &monitor, &ModAudioMon::Stop);
        if (!monitor.Start()) {
            state.SkipWithError("the wave input cannot be opened");
            return;
        }
        cpu += processSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        blocks += monitor.blocksDrawn() - before;
    }
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
    state.counters["blocks_per_s"] = wall > 0 ? double(blocks) / wall : 0;
}

void BM_MonitorPacedInput(benchmark::State& state)
{
    runMonitor(state, std::make_unique<PacedInput>());
}
BENCHMARK(BM_MonitorPacedInput)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The real capture of ALSA "default" (the sound server of the test command).
void BM_MonitorAlsaInput(benchmark::State& state)
{
    runMonitor(state, createAlsaWaveInput());
}
BENCHMARK(BM_MonitorAlsaInput)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* name : {"BM_MonitorPacedInput", "BM_MonitorAlsaInput"}) {
        const auto run = reporter.counters.find(std::string(name) + "/iterations:3/real_time");
        if (run == reporter.counters.end())
            continue;
        const double cpu = run->second["cpu_percent"];
        char text[32];
        std::snprintf(text, sizeof text, "%.2f %%", cpu);
        printRowText(std::string("input level monitor, processor share (") +
                         (std::string(name).find("Alsa") != std::string::npos ? "ALSA capture"
                                                                              : "paced input") +
                         ")",
                     text, "-", "-", "< 2 %", cpu < 2.0);
    }
    benchmark::Shutdown();
    return 0;
}
