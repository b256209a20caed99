#include "dialpane.h"
#include "dialpanel.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QToolButton>

#include <cmath>

// The dial panel in a frame of its own, driven by synthesized mouse events
// sent to the window, so the pane shapes decide which pane gets them.
class TestDialPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void shapesDecideWhichPaneTakesTheMouse();
    void followsTheMouseAndFreezesOnClicks();
    void halfButtonsSwitchHourAndIcons();
    void confirmingGivesTwoDigitHours_data();
    void confirmingGivesTwoDigitHours();
    void minuteStageAndResetToTheFirstLook();
    void handIsDrawnWhereThePointerIs();

private:
    // Panel point at `angle` degrees clockwise from 9 o'clock, `radius` out.
    static QPoint dialPoint(double angle, double radius = 80);
    void moveTo(QPoint p);
    void clickAt(QPoint p);
    QLabel* label(const char* name) const { return m_panel->findChild<QLabel*>(name); }
    void saveGrab(const QString& name);

    QWidget* m_frame = nullptr;
    DialPanel* m_panel = nullptr;
};

QPoint TestDialPanel::dialPoint(double angle, double radius)
{
    const double a = angle * M_PI / 180.0;
    return QPoint(int(std::lround(100 - radius * std::cos(a))),
                  int(std::lround(102 - radius * std::sin(a))));
}

void TestDialPanel::init()
{
    m_frame = new QWidget;
    m_frame->setObjectName("FrTimer");
    m_frame->resize(200, 300);
    m_panel = new DialPanel(m_frame);
    m_panel->startUp();
    m_panel->ResetDial();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
}

void TestDialPanel::cleanup()
{
    delete m_frame;
    m_frame = nullptr;
}

void TestDialPanel::moveTo(QPoint p)
{
    QTest::mouseMove(m_frame->windowHandle(), m_panel->mapTo(m_frame, p));
}

void TestDialPanel::clickAt(QPoint p)
{
    QTest::mouseClick(m_frame->windowHandle(), Qt::LeftButton, {}, m_panel->mapTo(m_frame, p));
}

void TestDialPanel::saveGrab(const QString& name)
{
    const QString dir = qEnvironmentVariable("QUILL_GRAB_DIR");
    if (!dir.isEmpty())
        m_frame->grab().save(dir + "/" + name + ".png");
}

void TestDialPanel::shapesDecideWhichPaneTakesTheMouse()
{
    const struct
    {
        QPoint p;
        const char* pane;
    } cases[] = {
        {{100, 102}, "FonStrelki"},                       // the hole
        {dialPoint(180), "PicWremyU"},                    // the ring, 3 o'clock
        {dialPoint(300), "PicWremyU"}, {{3, 3}, "Maska"}, // a corner
        {{196, 200}, "Maska"},
    };
    for (const auto& c : cases) {
        QWidget* w = m_panel->childAt(c.p);
        QVERIFY2(w, c.pane);
        QCOMPARE(w->objectName(), QString::fromLatin1(c.pane));
    }
    QCOMPARE(DialPane::ringShape().contains(QPoint(100, 102)), false);
    QCOMPARE(DialPane::cornerShape().contains(QPoint(100, 102)), false);
    QCOMPARE(m_panel->palette().color(QPalette::Window), QColor(92, 62, 51));
    QCOMPARE(m_frame->palette().color(QPalette::Window), QColor(92, 62, 51));
    QCOMPARE(m_panel->findChild<QWidget*>("FonStrelki")->palette().color(QPalette::Window),
             QColor(92, 62, 51));
}

void TestDialPanel::followsTheMouseAndFreezesOnClicks()
{
    // After the reset the dial is frozen at 12:00.
    moveTo(dialPoint(180));
    QCOMPARE(m_panel->hourNev(), QString("12"));
    QCOMPARE(m_panel->sag12(), QString("00"));

    clickAt(dialPoint(180)); // releases, nothing moves yet
    QCOMPARE(m_panel->hourNev(), QString("12"));
    moveTo(dialPoint(181));
    QCOMPARE(m_panel->hourNev(), QString("15"));
    moveTo(dialPoint(312)); // m = 37
    QCOMPARE(m_panel->hourNev(), QString("7"));
    QCOMPARE(m_panel->sag12(), QString("24"));
    saveGrab("dial-0724");

    // In the hole as well.
    moveTo(dialPoint(270, 30));
    QCOMPARE(m_panel->hourNev(), QString("6"));

    clickAt(dialPoint(270, 30)); // frozen again
    moveTo(dialPoint(180));
    moveTo(dialPoint(0, 30));
    QCOMPARE(m_panel->hourNev(), QString("6"));

    // The corners take no part.
    clickAt({3, 3});
    moveTo(dialPoint(180));
    QCOMPARE(m_panel->hourNev(), QString("6"));

    // A double-click is one click: the dial follows the mouse after it.
    QTest::mouseDClick(m_frame->windowHandle(), Qt::LeftButton, {},
                       m_panel->mapTo(m_frame, dialPoint(180)));
    QVERIFY(!m_panel->model().frozen());
    moveTo(dialPoint(181));
    QCOMPARE(m_panel->hourNev(), QString("15"));
    // The second click of a double-click whose first one went elsewhere (the
    // menu's item that opened the dial) is the dial's click.
    m_panel->ResetDial();
    QVERIFY(m_panel->model().frozen());
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    QMouseEvent second(QEvent::MouseButtonDblClick, dialPoint(180), dialPoint(180),
                       m_panel->mapToGlobal(dialPoint(180)), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(m_panel->childAt(dialPoint(180)), &second);
    QVERIFY(!m_panel->model().frozen());
}

void TestDialPanel::halfButtonsSwitchHourAndIcons()
{
    auto* night = m_panel->findChild<QToolButton*>("poslePoledny");
    auto* day = m_panel->findChild<QToolButton*>("doPoludny");
    QVERIFY(night && day);
    QCOMPARE(day->toolTip(), QString("С 6 утра до 18 вечера"));
    auto icon = [this](int i) { return m_panel->findChild<QLabel*>(QString("imSolnse%1").arg(i)); };

    clickAt(dialPoint(90));
    moveTo(dialPoint(91)); // top of the dial
    QCOMPARE(m_panel->hourNev(), QString("12"));
    QVERIFY(icon(0)->isVisible() && icon(1)->isVisible());
    QVERIFY(!icon(2)->isVisible() && !icon(3)->isVisible());

    QTest::mouseClick(night, Qt::LeftButton);
    QCOMPARE(m_panel->hourNev(), QString("0"));
    QVERIFY(!icon(0)->isVisible() && !icon(1)->isVisible());
    QVERIFY(icon(2)->isVisible() && icon(3)->isVisible());
    saveGrab("dial-night");

    moveTo(dialPoint(330)); // m = 40 in the night half
    QCOMPARE(m_panel->hourNev(), QString("20"));
    QTest::mouseClick(day, Qt::LeftButton);
    QCOMPARE(m_panel->hourNev(), QString("8"));
    QVERIFY(icon(0)->isVisible() && !icon(2)->isVisible());
    // The icons sit in their panes at one place, so their halves join up.
    QCOMPARE(icon(0)->parentWidget()->objectName(), QString("Maska"));
    QCOMPARE(icon(1)->parentWidget()->objectName(), QString("PicWremyU"));
    QCOMPARE(icon(0)->pos(), icon(1)->pos());
}

void TestDialPanel::confirmingGivesTwoDigitHours_data()
{
    QTest::addColumn<bool>("night");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QString>("shas");
    QTest::newRow("hour 0") << true << 91.0 << "00";
    QTest::newRow("hour 9") << false << 1.0 << "09";
    QTest::newRow("hour 17") << false << 264.0 << "17";
    QTest::newRow("hour 21") << true << 1.0 << "21";
}

void TestDialPanel::confirmingGivesTwoDigitHours()
{
    QFETCH(bool, night);
    QFETCH(double, angle);
    QFETCH(QString, shas);
    if (night)
        QTest::mouseClick(m_panel->findChild<QToolButton*>("poslePoledny"), Qt::LeftButton);
    clickAt(dialPoint(angle));
    moveTo(dialPoint(angle + 0.5, 79));

    QSignalSpy hints(m_panel, &DialPanel::hintChanged);
    m_panel->confirmHour();
    QCOMPARE(m_panel->hourText(), shas);
    QCOMPARE(hints.count(), 1);
    QCOMPARE(hints.at(0).at(0).toString(), QString("Откорректируете минуты."));
    QVERIFY(label("Shas")->isVisible());
    QVERIFY(label("Minute")->isVisible());
    QVERIFY(!label("HourNev")->isVisible());
    QVERIFY(!label("sag12")->isVisible());
    QVERIFY(!m_panel->findChild<QWidget*>("FonStrelki")->isVisible());
    for (int i = 0; i < 4; ++i)
        QVERIFY(!m_panel->findChild<QLabel*>(QString("imSolnse%1").arg(i))->isVisible());
}

void TestDialPanel::minuteStageAndResetToTheFirstLook()
{
    clickAt(dialPoint(180));
    moveTo(dialPoint(181));
    m_panel->confirmHour();
    QCOMPARE(m_panel->minuteText(), QString("00"));

    // The minute stage tracks at once; the ring brings the hand back.
    moveTo(dialPoint(96)); // m = 1
    QCOMPARE(m_panel->minuteText(), QString("1"));
    QVERIFY(m_panel->findChild<QWidget*>("FonStrelki")->isVisible());
    moveTo(dialPoint(226)); // m = 23
    QCOMPARE(m_panel->minuteText(), QString("23"));
    QCOMPARE(m_panel->hourText(), QString("15")); // the hour stays as confirmed
    saveGrab("dial-minutes");
    moveTo(dialPoint(96));
    m_panel->confirmMinute();
    QCOMPARE(m_panel->minuteText(), QString("01"));

    // The next reminder starts with the look of the first.
    m_panel->ResetDial();
    QVERIFY(label("HourNev")->isVisible());
    QVERIFY(label("sag12")->isVisible());
    QVERIFY(!label("Shas")->isVisible());
    QVERIFY(!label("Minute")->isVisible());
    QVERIFY(m_panel->findChild<QWidget*>("FonStrelki")->isVisible());
    QVERIFY(m_panel->findChild<QLabel*>("imSolnse0")->isVisible());
    QCOMPARE(m_panel->hourNev(), QString("12"));
    moveTo(dialPoint(180)); // frozen after the reset
    QCOMPARE(m_panel->hourNev(), QString("12"));
}

void TestDialPanel::handIsDrawnWhereThePointerIs()
{
    const QColor brown(92, 62, 51);
    auto handPixels = [&](const QImage& img, QPoint from, QPoint to) {
        int n = 0;
        for (int i = 0; i <= 10; ++i) {
            const QPoint p = from + (to - from) * i / 10;
            for (int dy = -2; dy <= 2; ++dy)
                if (img.pixelColor(p + QPoint(0, dy)) != brown &&
                    img.pixelColor(p + QPoint(dy, 0)) != brown)
                    ++n;
        }
        return n;
    };
    saveGrab("dial-reset");
    // Reset: the hand points up.
    QImage img = m_panel->grab().toImage();
    QVERIFY(handPixels(img, {100, 70}, {100, 50}) > 20);
    QCOMPARE(handPixels(img, {70, 102}, {50, 102}), 0);
    QCOMPARE(handPixels(img, {100, 140}, {100, 150}), 0);

    clickAt(dialPoint(180));
    moveTo(dialPoint(181)); // 3 o'clock
    img = m_panel->grab().toImage();
    QVERIFY(handPixels(img, {130, 102}, {150, 102}) > 20);
    QCOMPARE(handPixels(img, {100, 70}, {100, 50}), 0);
    saveGrab("dial-3oclock");
}

QTEST_MAIN(TestDialPanel)
#include "test_dialpanel.moc"
