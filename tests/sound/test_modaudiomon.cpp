#include "fakewaveinput.h"
#include "modaudiomon.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(ModAudioMon, StartRunsUntilStopAndHandsOutBlocks)
{
    std::vector<uint8_t> block(256, 128);
    block[3] = 250;
    auto* input = new FakeWaveInput(block);
    ModAudioMon monitor{std::unique_ptr<WaveInput>(input)};
    std::vector<bool> running;
    QObject::connect(&monitor, &ModAudioMon::runningChanged, [&](bool r) { running.push_back(r); });
    QByteArray last;
    QObject::connect(&monitor, &ModAudioMon::blockReady, [&](const QByteArray& b) { last = b; });

    // Other events keep being handled while Start waits: this timer stops it.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++ticks == 5)
            monitor.Stop();
    });
    ticker.start(40);

    EXPECT_TRUE(monitor.Start());
    EXPECT_EQ(ticks, 5);
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_FALSE(input->isOpen());
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
    EXPECT_GE(monitor.blocksDrawn(), 2);
    EXPECT_EQ(last, QByteArray(reinterpret_cast<const char*>(block.data()), 256));

    // Started again, it opens the input anew.
    ticks = 0;
    EXPECT_TRUE(monitor.Start());
    EXPECT_EQ(input->opened, 2);
    EXPECT_EQ(input->closed, 2);
}

TEST(ModAudioMon, InputThatCannotOpenReturnsAtOnce)
{
    auto* input = new FakeWaveInput({}, false);
    ModAudioMon monitor{std::unique_ptr<WaveInput>(input)};
    int changes = 0;
    QObject::connect(&monitor, &ModAudioMon::runningChanged, [&] { ++changes; });
    EXPECT_FALSE(monitor.Start());
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_EQ(changes, 0);
}

TEST(ModAudioMon, StopWithoutBlocksStillEndsTheLoop)
{
    // An input that opens but never delivers (a stalled source).
    class Silent : public WaveInput
    {
    public:
        bool open(BlockDone) override { return m_open = true; }
        void close() override { m_open = false; }
        bool isOpen() const override { return m_open; }
        bool m_open = false;
    };
    ModAudioMon monitor{std::make_unique<Silent>()};
    QTimer::singleShot(50, &monitor, &ModAudioMon::Stop);
    EXPECT_TRUE(monitor.Start());
    EXPECT_EQ(monitor.blocksDrawn(), 1); // the last block is drawn on the way out
}

TEST(ModAudioMon, ApplicationQuitEndsTheMonitor)
{
    auto* input = new FakeWaveInput();
    ModAudioMon monitor{std::unique_ptr<WaveInput>(input)};
    QTimer::singleShot(30, [] { QCoreApplication::exit(0); });
    EXPECT_TRUE(monitor.Start());
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_FALSE(input->isOpen());
    // Let the application's own loop run once so later loops work again.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace
