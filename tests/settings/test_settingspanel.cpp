#include "pressable.h"
#include "settingspanel.h"

#include <QFrame>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// Moves and presses are sent straight to the box, in pixels of the box.
void moveTo(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void press(QWidget* w, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent e(QEvent::MouseButtonPress, p, w->mapToGlobal(p), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

constexpr QPoint kLeave(-1000, -1000);

// Pixels of a strip that stand out from the preview underneath: the print.
int printedPixels(const QImage& shown, const QImage& preview, const QRect& strip)
{
    int n = 0;
    for (int y = strip.top(); y <= strip.bottom(); ++y)
        for (int x = strip.left(); x <= strip.right(); ++x)
            n += qAbs(qGray(shown.pixel(x, y)) - qGray(preview.pixel(x, y))) > 90;
    return n;
}

QImage solid(const QColor& c)
{
    QImage img(200, 300, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

} // namespace

class TestSettingsPanel : public QObject
{
    Q_OBJECT
private slots:
    void hoverAndClick_data();
    void hoverAndClick();
    void anyButtonClicks();
    void screenReaderPressesEachItem();
    void menuPrintStandsOut_data();
    void menuPrintStandsOut();
};

void TestSettingsPanel::hoverAndClick_data()
{
    QTest::addColumn<QList<QPoint>>("path");
    QTest::addColumn<int>("shown");      // Shape1 element in view, -1 none
    QTest::addColumn<int>("code");       // emitted with itemClicked
    QTest::addColumn<QString>("action"); // the request signal, "" none

    // The band rules themselves are tabled in the SettingsMenu test; these
    // rows check the pixel-to-twip passing, the frames shown and the signals.
    QTest::newRow("no hover") << QList<QPoint>{} << -1 << 0 << "";
    QTest::newRow("item 10") << QList<QPoint>{{100, 30}} << 0 << 10 << "browse";
    QTest::newRow("item 10 left") << QList<QPoint>{{100, 30}, kLeave} << -1 << 10 << "";
    QTest::newRow("item 11 left") << QList<QPoint>{{100, 70}, kLeave} << -1 << 11 << "own";
    QTest::newRow("item 13 then gap")
        << QList<QPoint>{{100, 160}, {100, 220}} << -1 << 13 << "autostart";
    QTest::newRow("below the items") << QList<QPoint>{{100, 160}, {100, 260}} << -1 << 14 << "";
}

void TestSettingsPanel::hoverAndClick()
{
    QFETCH(QList<QPoint>, path);
    QFETCH(int, shown);
    QFETCH(int, code);
    QFETCH(QString, action);

    SettingsPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QStringList order;
    connect(&panel, &SettingsPanel::itemClicked, this,
            [&](PanelMode c) { order << QStringLiteral("code %1").arg(quint8(c)); });
    connect(&panel, &SettingsPanel::browseSavedRequested, this, [&] { order << "browse"; });
    connect(&panel, &SettingsPanel::ownPictureRequested, this, [&] { order << "own"; });
    connect(&panel, &SettingsPanel::restoreDefaultRequested, this, [&] { order << "default"; });
    connect(&panel, &SettingsPanel::autostartRequested, this, [&] { order << "autostart"; });

    for (const QPoint& p : path) {
        if (p == kLeave)
            leave(&panel);
        else
            moveTo(&panel, p);
    }
    for (int i = 0; i < 4; ++i) {
        auto* shape = panel.findChild<QFrame*>(QStringLiteral("Shape1_%1").arg(i));
        QVERIFY(shape);
        QCOMPARE(!shape->isHidden(), i == shown);
    }
    press(&panel, path.isEmpty() || path.last() == kLeave ? QPoint(100, 280) : path.last());
    QStringList expected{QStringLiteral("code %1").arg(code)};
    if (!action.isEmpty())
        expected << action;
    QCOMPARE(order, expected);
}

void TestSettingsPanel::anyButtonClicks()
{
    SettingsPanel panel;
    QSignalSpy spy(&panel, &SettingsPanel::restoreDefaultRequested);
    moveTo(&panel, {100, 110});
    press(&panel, {100, 110}, Qt::RightButton);
    press(&panel, {100, 110}, Qt::MiddleButton);
    QCOMPARE(spy.count(), 2);
}

void TestSettingsPanel::screenReaderPressesEachItem()
{
    SettingsPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QStringList order;
    connect(&panel, &SettingsPanel::browseSavedRequested, this, [&] { order << "browse"; });
    connect(&panel, &SettingsPanel::ownPictureRequested, this, [&] { order << "own"; });
    connect(&panel, &SettingsPanel::restoreDefaultRequested, this, [&] { order << "default"; });
    connect(&panel, &SettingsPanel::autostartRequested, this, [&] { order << "autostart"; });
    for (int band = 0; band < 4; ++band)
        QVERIFY(Pressable::press(
            panel.findChild<QWidget*>(QStringLiteral("settingsItem%1").arg(band))));
    QCOMPARE(order, (QStringList{"browse", "own", "default", "autostart"}));
}

void TestSettingsPanel::menuPrintStandsOut_data()
{
    QTest::addColumn<QColor>("preview");
    QTest::newRow("light preview") << QColor(222, 226, 230);
    QTest::newRow("dark preview") << QColor(20, 14, 30);
    QTest::newRow("middle grey") << QColor(128, 128, 128);
}

void TestSettingsPanel::menuPrintStandsOut()
{
    QFETCH(QColor, preview);
    SettingsPanel panel;
    QCOMPARE(panel.size(), QSize(200, 300));
    QCOMPARE(panel.objectName(), QStringLiteral("picWibora"));
    for (int i = 0; i < 6; ++i)
        QVERIFY(panel.findChild<QFrame*>(QStringLiteral("Line5_%1").arg(i)));

    // A preview of another size is stretched over the box.
    panel.setPreview(solid(preview).scaled(100, 150));
    const QImage under = panel.preview();
    QCOMPARE(under.size(), QSize(200, 300));

    // Line 1 " Сменить заставку, на " is printed at twips 150: rows 10 to 22.
    const QRect line1(6, 10, 150, 12);
    QCOMPARE(printedPixels(panel.grab().toImage(), under, line1), 0);
    panel.drawSettingsMenu();
    moveTo(&panel, {100, 160});
    const QImage shown = panel.grab().toImage();
    if (const QByteArray dir = qgetenv("QUILL_RENDER_DIR"); !dir.isEmpty())
        shown.save(QStringLiteral("%1/settingspanel-%2.png")
                       .arg(QString::fromUtf8(dir), preview.name().mid(1)));
    QVERIFY2(printedPixels(shown, under, line1) > 40,
             qPrintable(QString::number(printedPixels(shown, under, line1))));
    // Line 9 "      ными заданиями." at twips 2550: rows 170 to 182.
    const int line9 = printedPixels(shown, under, QRect(40, 170, 110, 12));
    QVERIFY2(line9 > 30, qPrintable(QString::number(line9)));
    // The suite's two switches in the bottom band, printed like the menu.
    const QRect switches(0, 250, 200, 50);
    const int band = printedPixels(shown, under, switches);
    QVERIFY2(band > 30, qPrintable(QString::number(band)));
    // The next menu build clears the print until the panel opens again.
    panel.setPreview(solid(preview));
    QCOMPARE(printedPixels(panel.grab().toImage(), under, line1), 0);
    QCOMPARE(printedPixels(panel.grab().toImage(), under, switches), 0);
}

QTEST_MAIN(TestSettingsPanel)
#include "test_settingspanel.moc"
