#include "gifbuilder.h"
#include "gifctl.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QVector<QRgb> kPalette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 200, 0)};

// A 4 x 2 GIF with one solid frame per entry of `delaysCs`; frame i has
// colour index i % 3 + 1, so frames can be told apart by their pixels.
QByteArray animation(const std::vector<int>& delaysCs)
{
    GifBuilder b(4, 2, kPalette);
    for (size_t i = 0; i < delaysCs.size(); ++i) {
        GifBuilder::Frame f;
        f.width = 4;
        f.height = 2;
        f.indexes.assign(8, uint8_t(i % 3 + 1));
        f.withControl = true;
        f.delayCs = delaysCs[i];
        b.add(f);
    }
    return b.bytes();
}

QRgb shownColour(const GifCtl& ctl)
{
    return ctl.Image().pixel(1, 1);
}

QRgb frameColour(int frame) // from 1
{
    return kPalette[(frame - 1) % 3 + 1];
}

} // namespace

class TestGifCtl : public QObject
{
    Q_OBJECT
private slots:
    void framesStepLazilyWithTheirDelays()
    {
        GifCtl ctl;
        ctl.resize(4, 2);
        QSignalSpy changed(&ctl, &GifCtl::FrameChanged);
        QSignalSpy done(&ctl, &GifCtl::AnimationDone);
        QVERIFY(ctl.LoadData(animation({10, 20, 30})));
        QCOMPARE(ctl.frameIndex(), 1);
        QCOMPARE(ctl.frameCount(), 1); // only what was shown is decoded
        QCOMPARE(shownColour(ctl), frameColour(1));
        QVERIFY(ctl.frameTimer()->isActive());
        QCOMPARE(ctl.frameTimer()->interval(), 100);
        QCOMPARE(changed.count(), 1);

        ctl.FrameStep();
        QCOMPARE(ctl.frameCount(), 2);
        QCOMPARE(shownColour(ctl), frameColour(2));
        QCOMPARE(ctl.frameTimer()->interval(), 200);
        ctl.FrameStep();
        QCOMPARE(shownColour(ctl), frameColour(3));
        QCOMPARE(ctl.frameTimer()->interval(), 300);
        QCOMPARE(done.count(), 0);

        ctl.FrameStep(); // the end: loops to frame 1 from the cache
        QCOMPARE(done.count(), 1);
        QCOMPARE(ctl.frameIndex(), 1);
        QCOMPARE(ctl.frameCount(), 3);
        QCOMPARE(shownColour(ctl), frameColour(1));
        QCOMPARE(ctl.frameTimer()->interval(), 100);
        QCOMPARE(changed.count(), 4);
    }

    void realTimerRunsTheAnimation()
    {
        GifCtl ctl;
        QSignalSpy done(&ctl, &GifCtl::AnimationDone);
        QVERIFY(ctl.LoadData(animation({1, 1})));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 2, 5000);
    }

    void oneFrameLoopsOnItself()
    {
        GifCtl ctl;
        QSignalSpy done(&ctl, &GifCtl::AnimationDone);
        QVERIFY(ctl.LoadData(animation({50})));
        ctl.FrameStep();
        QCOMPARE(done.count(), 1);
        QCOMPARE(ctl.frameIndex(), 1);
        QCOMPARE(shownColour(ctl), frameColour(1));
        QVERIFY(ctl.frameTimer()->isActive());
    }

    void withoutAutoLoopTheLastFrameStays()
    {
        GifCtl ctl;
        ctl.SetAutoLoop(false);
        QSignalSpy done(&ctl, &GifCtl::AnimationDone);
        QVERIFY(ctl.LoadData(animation({10, 10})));
        ctl.FrameStep();
        ctl.FrameStep();
        QCOMPARE(done.count(), 1);
        QCOMPARE(shownColour(ctl), frameColour(2));
        QVERIFY(!ctl.frameTimer()->isActive());
        // Starting again begins with the first frame.
        ctl.SetEnabled(false);
        ctl.SetEnabled(true);
        QCOMPARE(shownColour(ctl), frameColour(1));
    }

    void autoStartOffShowsFrameOneStill()
    {
        GifCtl ctl;
        ctl.SetAutoStart(false);
        QSignalSpy changed(&ctl, &GifCtl::FrameChanged);
        QVERIFY(ctl.LoadData(animation({10, 10, 10})));
        QVERIFY(!ctl.Enabled());
        QVERIFY(!ctl.frameTimer()->isActive());
        QCOMPARE(shownColour(ctl), frameColour(1));
        ctl.SetEnabled(false); // same value: nothing happens
        QCOMPARE(changed.count(), 1);
        ctl.SetEnabled(true);
        QCOMPARE(shownColour(ctl), frameColour(2));
        QVERIFY(ctl.frameTimer()->isActive());
        ctl.SetEnabled(true); // same value: no extra step
        QCOMPARE(changed.count(), 2);
        ctl.SetEnabled(false);
        QVERIFY(!ctl.frameTimer()->isActive());
        QCOMPARE(shownColour(ctl), frameColour(2));
    }

    void zeroDelayFramesArePassedOver()
    {
        GifCtl ctl;
        QSignalSpy changed(&ctl, &GifCtl::FrameChanged);
        QVERIFY(ctl.LoadData(animation({10, 0, 20})));
        ctl.FrameStep();
        QCOMPARE(changed.count(), 3); // frame 2 drawn and passed at once
        QCOMPARE(ctl.frameIndex(), 3);
        QCOMPARE(ctl.frameTimer()->interval(), 200);
    }

    void zeroDelayFirstFrameDoesNotStallAMultiFrameGif()
    {
        GifCtl ctl;
        QVERIFY(ctl.LoadData(animation({0, 30})));
        QCOMPARE(ctl.frameIndex(), 2);
        QCOMPARE(ctl.frameTimer()->interval(), 300);
    }

    void allZeroDelaysCannotSpin()
    {
        GifCtl ctl;
        QSignalSpy done(&ctl, &GifCtl::AnimationDone);
        QVERIFY(ctl.LoadData(animation({0, 0, 0})));
        // Loading ran through the GIF once and then waits a tick.
        QCOMPARE(ctl.frameCount(), 3);
        QCOMPARE(done.count(), 1);
        QVERIFY(ctl.frameTimer()->isActive());
        QCOMPARE(ctl.frameTimer()->interval(), GifCtl::kZeroDelayLoopMs);
        ctl.FrameStep();
        QVERIFY(done.count() <= 2);
        QVERIFY(ctl.frameTimer()->isActive());
    }

    void singleZeroDelayFrameStaysStill()
    {
        GifCtl ctl;
        QVERIFY(ctl.LoadData(animation({0})));
        QVERIFY(!ctl.frameTimer()->isActive());
        QCOMPARE(shownColour(ctl), frameColour(1));
    }

    void brokenLaterFrameStopsOnTheLastGoodOne()
    {
        QByteArray data = animation({10, 10});
        // Frame 2 starts where a one-frame file has its trailer: 8 bytes of
        // control extension, 10 of image descriptor, then the code size.
        const qsizetype second = animation({10}).size() - 1;
        QCOMPARE(data.at(second + 8), char(0x2C));
        data[second + 18] = char(11);
        GifCtl ctl;
        QSignalSpy changed(&ctl, &GifCtl::FrameChanged);
        QVERIFY(ctl.LoadData(data));
        ctl.FrameStep();
        QCOMPARE(ctl.decodeError(), GifError::BadCodeSize);
        QCOMPARE(shownColour(ctl), frameColour(1));
        QVERIFY(!ctl.frameTimer()->isActive());
        QCOMPARE(changed.count(), 1);
        ctl.FrameStep();
        QVERIFY(!ctl.frameTimer()->isActive());
    }

    void unreadableOrBrokenFilesLeaveTheControlEmpty()
    {
        QTemporaryDir dir;
        GifCtl ctl;
        ctl.resize(4, 2);
        QVERIFY(!ctl.LoadFile(dir.filePath("missing.gif")));
        QCOMPARE(ctl.decodeError(), GifError::Unreadable);
        QCOMPARE(ctl.frameCount(), 0);
        QVERIFY(!ctl.LoadData(QByteArray("GIF89a")));
        QCOMPARE(ctl.decodeError(), GifError::Truncated);
        ctl.FrameStep(); // nothing to show, nothing happens
        QCOMPARE(ctl.frameIndex(), 0);

        QFile file(dir.filePath("a.gif"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(animation({10, 20}));
        file.close();
        QVERIFY(ctl.LoadFile(file.fileName()));
        QCOMPARE(ctl.decodeError(), GifError::None);
        QCOMPARE(shownColour(ctl), frameColour(1));
    }

    void drawingHonoursMaskBackgroundAndShape()
    {
        GifBuilder b(4, 2, kPalette);
        GifBuilder::Frame f;
        f.width = 4;
        f.height = 2;
        f.indexes = {0, 0, 2, 2, 0, 0, 2, 2};
        f.withControl = true;
        f.transparent = 0;
        b.add(f);

        GifCtl ctl;
        ctl.resize(6, 3);
        ctl.SetBackColor(QColor(0, 200, 0));
        QVERIFY(ctl.LoadData(b.bytes()));
        QCOMPARE(ctl.Image().size(), QSize(6, 3));
        QCOMPARE(ctl.Image().pixel(0, 0), qRgb(0, 200, 0)); // transparent: background
        QCOMPARE(ctl.Image().pixel(3, 1), kPalette[2]);
        QCOMPARE(ctl.Image().pixel(5, 2), qRgb(0, 200, 0)); // beyond the GIF
        QVERIFY(ctl.mask().isEmpty());

        ctl.SetBackColor(QColor(10, 20, 30));
        QCOMPARE(ctl.Image().pixel(0, 0), qRgb(10, 20, 30));

        ctl.SetBackStyle(0);
        QCOMPARE(qAlpha(ctl.Image().pixel(0, 0)), 0);
        QCOMPARE(ctl.Image().pixel(2, 0), kPalette[2]);
        QVERIFY(ctl.mask().contains(QPoint(2, 0)));
        QVERIFY(!ctl.mask().contains(QPoint(1, 0)));
        QVERIFY(!ctl.mask().contains(QPoint(5, 2)));

        ctl.SetBorderStyle(1);
        QCOMPARE(ctl.Image().size(), QSize(4, 1));
        QVERIFY(ctl.mask().contains(QPoint(3, 1)));

        ctl.show(); // a hidden widget gets its resize event when shown
        QVERIFY(QTest::qWaitForWindowExposed(&ctl));
        ctl.resize(10, 10);
        QCOMPARE(ctl.Image().size(), QSize(8, 8));
        QCOMPARE(ctl.Image().pixel(2, 0), kPalette[2]);
    }

    void aGrownControlShowsWhatWasCutAway()
    {
        // Frames are kept only as large as the control; when it grows they
        // are made again, and the animation stays on its frame.
        GifBuilder b(4, 2, kPalette);
        for (int i = 0; i < 2; ++i) {
            GifBuilder::Frame f;
            f.width = 4;
            f.height = 2;
            f.indexes = {1, 1, 2, uint8_t(i + 2), 1, 1, 2, uint8_t(i + 2)};
            f.withControl = true;
            f.delayCs = 10;
            b.add(f);
        }
        GifCtl ctl;
        ctl.resize(2, 1);
        QVERIFY(ctl.LoadData(b.bytes()));
        ctl.FrameStep();
        QCOMPARE(ctl.frameIndex(), 2);
        QCOMPARE(ctl.Image().size(), QSize(2, 1));
        ctl.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ctl));
        ctl.resize(4, 2);
        QCOMPARE(ctl.frameIndex(), 2);
        QCOMPARE(ctl.Image().pixel(2, 1), kPalette[2]);
        QCOMPARE(ctl.Image().pixel(3, 1), kPalette[3]);
        ctl.FrameStep(); // loops on from the frames made again
        QCOMPARE(ctl.frameIndex(), 1);
        QCOMPARE(ctl.Image().pixel(3, 1), kPalette[2]);
    }

    void mouseAndKeyEventsArePassedOn()
    {
        GifCtl ctl;
        ctl.resize(20, 20);
        ctl.LoadData(animation({10}));
        ctl.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ctl));
        QSignalSpy down(&ctl, &GifCtl::MouseDown);
        QSignalSpy up(&ctl, &GifCtl::MouseUp);
        QSignalSpy move(&ctl, &GifCtl::MouseMove);
        QSignalSpy click(&ctl, &GifCtl::Click);
        QSignalSpy dbl(&ctl, &GifCtl::DblClick);
        QSignalSpy keyDown(&ctl, &GifCtl::KeyDown);
        QSignalSpy keyPress(&ctl, &GifCtl::KeyPress);
        QSignalSpy keyUp(&ctl, &GifCtl::KeyUp);

        QTest::mouseClick(&ctl, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 7));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0), (QList<QVariant>{1, 1, 5, 7}));
        QCOMPARE(up.count(), 1);
        QCOMPARE(click.count(), 1);
        QTest::mouseClick(&ctl, Qt::RightButton, Qt::ControlModifier, QPoint(3, 3));
        QCOMPARE(down.at(1), (QList<QVariant>{2, 2, 3, 3}));
        QCOMPARE(click.count(), 1); // only the left button clicks
        QTest::mouseMove(&ctl, QPoint(9, 4));
        QTRY_VERIFY(move.count() >= 1);
        QCOMPARE(move.last().at(2).toInt(), 9);
        QTest::mouseDClick(&ctl, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QCOMPARE(dbl.count(), 1);

        QTest::keyClick(&ctl, Qt::Key_A, Qt::NoModifier);
        QCOMPARE(keyDown.count(), 1);
        QCOMPARE(keyDown.at(0).at(0).toInt(), int(Qt::Key_A));
        QCOMPARE(keyPress.count(), 1);
        QCOMPARE(keyPress.at(0).at(0).toInt(), int('a'));
        QCOMPARE(keyUp.count(), 1);
    }

    void handlerMayLoadAnotherGifDuringAStep()
    {
        GifCtl ctl;
        const QByteArray other = animation({0, 0});
        int loads = 0;
        connect(&ctl, &GifCtl::AnimationDone, &ctl, [&] {
            if (loads++ == 0)
                ctl.LoadData(other);
        });
        QVERIFY(ctl.LoadData(animation({0, 0, 0})));
        QCOMPARE(loads, 2);
        QCOMPARE(ctl.frameCount(), 2);
    }
};

QTEST_MAIN(TestGifCtl)
#include "test_gifctl.moc"
