#include "clock.h"
#include "dialpanel.h"
#include "fakeservices.h"
#include "gifctl.h"
#include "helptext.h"
#include "layout.h"
#include "linklabel.h"
#include "mainwindow.h"
#include "menuimages.h"
#include "menupanel.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

// The menu over a known background: a flat colour, so every pixel of the
// dimmed and bright looks can be predicted.
class TestMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void imagesFollowTheBitOperations();
    void buildMenuShowsDimmedAndBrightQuarters();
    void hoverMovesStraightFromItemToItem();
    void itemClicksOpenTheirPanels();
    void keysDoWhatTheButtonsDo();
    void screenReaderPressesWhatIsShown();
    void helpTextAndLinks();
    void windowButtons();
    void backgroundAnimationIsChosenByDoubleClick();
    void deviceMovesTheWindowOnlyWhenDragged();

private:
    QTemporaryDir* m_dir = nullptr;
    MainWindow* m_window = nullptr;
    FakeServices m_fakes;
    static constexpr QRgb kBack = 0xff'c8'64'32; // 200, 100, 50
};

void TestMenu::init()
{
    m_dir = new QTemporaryDir;
    QDir(m_dir->path()).mkpath("Data");
    QImage bg(200, 300, QImage::Format_RGB32);
    bg.fill(kBack);
    bg.save(m_dir->path() + "/Data/1.jpg", "PNG"); // lossless despite the name
    m_window = new MainWindow(m_dir->path(), "/scratch/", Clock::system(), m_fakes.make());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestMenu::cleanup()
{
    delete m_window;
    delete m_dir;
}

void TestMenu::imagesFollowTheBitOperations()
{
    QImage target(2, 1, QImage::Format_RGB32);
    target.setPixel(0, 0, qRgb(0xf0, 0x0f, 0x55));
    target.setPixel(1, 0, qRgb(0x12, 0x34, 0x56));
    QImage mask(2, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(0x3c, 0xff, 0x00));
    mask.setPixel(1, 0, qRgb(0xff, 0xff, 0xff));
    QImage a = target;
    MenuImages::andInto(a, mask);
    QCOMPARE(a.pixel(0, 0), qRgb(0x30, 0x0f, 0x00));
    QCOMPARE(a.pixel(1, 0), target.pixel(1, 0));
    QImage o = target;
    MenuImages::orInvertedInto(o, mask);
    QCOMPARE(o.pixel(0, 0), qRgb(0xf0 | 0xc3, 0x0f, 0xff));
    QCOMPARE(o.pixel(1, 0), target.pixel(1, 0));

    // Blending with constant alpha 100 over the box colour.
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(kBack);
    const QColor c =
        MenuImages::blend(src, QSize(4, 4), 100, MenuImages::boxColour()).pixelColor(1, 1);
    const QColor box = MenuImages::boxColour();
    QVERIFY(qAbs(c.red() - (200 * 100 + box.red() * 155) / 255) <= 1);
    QVERIFY(qAbs(c.green() - (100 * 100 + box.green() * 155) / 255) <= 1);
    QVERIFY(qAbs(c.blue() - (50 * 100 + box.blue() * 155) / 255) <= 1);
}

void TestMenu::buildMenuShowsDimmedAndBrightQuarters()
{
    m_window->findChild<QPushButton*>("Command2")->click();
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraMeny"));

    const QImage text = MenuImages::captions();
    // Find a caption pixel and a plain pixel in the second quarter.
    QPoint ink(-1, -1), plain(5, 80);
    for (int y = 75; y < 150 && ink.x() < 0; ++y)
        for (int x = 62; x < 200; ++x)
            if (text.pixel(x, y) == qRgb(0, 0, 0)) {
                ink = QPoint(x, y);
                break;
            }
    QVERIFY(ink.x() >= 0);
    // No caption touches the right edge of the screen.
    for (int y = 0; y < text.height(); ++y)
        for (int x = text.width() - 3; x < text.width(); ++x)
            QVERIFY2(text.pixel(x, y) != qRgb(0, 0, 0), qPrintable(QString("%1,%2").arg(x).arg(y)));

    const QImage dimmed = m_window->menu()->images().dimmed();
    const QImage bright = m_window->background().toImage();
    QCOMPARE(dimmed.pixel(ink), qRgb(0, 0, 0));       // dark caption on the dimmed copy
    QCOMPARE(bright.pixel(ink), qRgb(255, 255, 255)); // light caption on the bright one
    QCOMPARE(bright.pixel(plain), kBack);
    const QColor dim = dimmed.pixelColor(plain);
    QVERIFY(dim.red() > 200 && dim.red() < 236 && dim.blue() > 100 && dim.blue() < 236);

    // Items show quarter strips: normal = dimmed, highlighted = bright.
    auto items = m_window->findChildren<QLabel*>("picMeny");
    QCOMPARE(items.size(), 4);
    const QImage item1 = items[1]->pixmap().toImage();
    QCOMPARE(item1.size(), QSize(200, 74));
    QCOMPARE(item1.pixelColor(5, 5), dimmed.pixelColor(5, 80));
    QTest::mouseMove(items[1], QPoint(5, 5));
    QCOMPARE(items[1]->pixmap().toImage().pixel(5, 5), kBack);

    // No caption row is lost on the way from the 75-row quarter to the
    // 74-row item, in either look (the crossbar of the Н of "Настройки" is
    // the middle row of the last quarter).
    const auto rowOf = [](const QImage& img, int y) {
        return QByteArray(reinterpret_cast<const char*>(img.constScanLine(y)),
                          int(img.bytesPerLine()));
    };
    for (int i = 0; i < 4; ++i) {
        QTest::mouseMove(items[i], QPoint(5, 5));
        const QImage looks[2] = {dimmed, bright};
        const QImage shown[2] = {
            items[(i + 1) % 4]->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
            items[i]->pixmap().toImage().convertToFormat(QImage::Format_RGB32)};
        for (int look = 0; look < 2; ++look) {
            QSet<QByteArray> itemRows;
            for (int y = 0; y < shown[look].height(); ++y)
                itemRows.insert(rowOf(shown[look], y));
            const int quarter = (look == 0 ? (i + 1) % 4 : i) * 75;
            int captionRows = 0;
            for (int y = quarter; y < quarter + 75; ++y) {
                if (rowOf(text, y) == rowOf(text, quarter))
                    continue; // no caption on this row
                ++captionRows;
                QVERIFY2(itemRows.contains(rowOf(looks[look], y)),
                         qPrintable(QString("item %1 look %2 row %3").arg(i).arg(look).arg(y)));
            }
            QVERIFY(captionRows >= 10);
        }
    }
}

void TestMenu::hoverMovesStraightFromItemToItem()
{
    m_window->buildMenu();
    auto items = m_window->findChildren<QLabel*>("picMeny");
    QSignalSpy hints(m_window->menu(), &MenuPanel::hintChanged);
    QSignalSpy animations(m_window->menu(), &MenuPanel::animationEnabled);

    QTest::mouseMove(items[0], QPoint(100, 30));
    QCOMPARE(m_window->menu()->highlighted(), 0);
    QCOMPARE(m_window->hint(), QString("Уже запланированные задачи"));
    QCOMPARE(animations.takeFirst(), QVariantList({0, true}));

    QTest::mouseMove(items[1], QPoint(100, 30));
    QCOMPARE(m_window->menu()->highlighted(), 1);
    QCOMPARE(m_window->hint(), QString("Создать новую запись"));
    // The leave step came first: all four stopped and the hint cleared.
    QCOMPARE(hints.size(), 3);
    QCOMPARE(hints.at(1).at(0).toString(), QString());
    QCOMPARE(animations.size(), 5);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(animations.at(i), QVariantList({i, false}));
    QCOMPARE(animations.at(4), QVariantList({1, true}));
    QCOMPARE(items[0]->toolTip(), QString("Уже запланированные задачи"));
    QVERIFY(items[3]->toolTip().isEmpty());
}

void TestMenu::itemClicksOpenTheirPanels()
{
    m_window->buildMenu();
    auto items = m_window->findChildren<QLabel*>("picMeny");
    QTest::mouseClick(items[1], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);
    QCOMPARE(m_window->frontPanel()->objectName(), QString("FrTimer"));
    QCOMPARE(m_window->hint(),
             QString("Выберите ЧАС для напоминания, минуты откорректируете позже."));

    // The suite's switches show the options file as it is when the panel
    // opens (the command line may have changed it) and write it when turned.
    const QString options = m_dir->path() + "/Data/options.txt";
    {
        QFile f(options);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("voice-after-chime=on\n");
    }
    m_window->buildMenu();
    QTest::mouseClick(items[3], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraNastroiki"));
    QCOMPARE(m_window->state().panelMode,
             PanelMode::Hour); // the settings item sets no mode by itself
    auto* voice = m_window->findChild<QCheckBox*>("chkVoiceAfterChime");
    auto* notices = m_window->findChild<QCheckBox*>("chkNotifications");
    QVERIFY(voice && notices && voice->isVisible() && notices->isVisible());
    QVERIFY(voice->isChecked() && notices->isChecked());
    QTest::mouseClick(notices, Qt::LeftButton, {}, QPoint(8, notices->height() / 2));
    {
        QFile f(options);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("voice-after-chime=on\nnotifications=off\n"));
    }
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);

    m_window->buildMenu();
    QTest::mouseClick(items[0], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraSpisok"));
    QCOMPARE(m_window->state().panelMode, PanelMode::TaskList);
}

void TestMenu::helpTextAndLinks()
{
    const QStringList lines = HelpText::text().split("\r\n");
    QCOMPARE(lines.size(), 19);
    QCOMPARE(lines.last(), QString());
    QCOMPARE(lines[3], QString("настройках  пункт \"Добавить в "));
    QCOMPARE(lines[5], QString("назначенными заданиями.\"         "));
    QCOMPARE(lines[12], QString(" и собственной анимацией. "));
    QCOMPARE(lines[15], QString("\"Уже запланированные задачи\". "));
    QCOMPARE(lines[17], QString("Вот, пожалуй, и все."));

    auto* text2 = m_window->findChild<HelpText*>("Text2");
    QVERIFY(text2);
    bool disabledDuringPause = false;
    QTimer::singleShot(200, [&] { disabledDuringPause = !text2->isEnabled(); });
    QTest::mousePress(text2->viewport(), Qt::LeftButton);
    QVERIFY(disabledDuringPause);
    QVERIFY(text2->isEnabled());

    QList<QUrl> opened;
    for (const char* name : {"Labe14", "Label13"}) {
        auto* link = m_window->findChild<LinkLabel*>(name);
        QVERIFY2(link, name);
        QCOMPARE(QAccessible::queryAccessibleInterface(link)->role(), QAccessible::Link);
        QCOMPARE(QAccessible::queryAccessibleInterface(link)->text(QAccessible::Name),
                 link->text());
        link->setOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        QTest::mouseClick(link, Qt::LeftButton);
    }
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0].toString(), QString("mailto:quillmur@example.org?Subject=Тема"));
    QCOMPARE(opened[1].scheme(), QString("https"));
}

void TestMenu::windowButtons()
{
    const auto press = [](GifCtl* g) {
        QTest::mouseClick(g, Qt::LeftButton, {}, g->rect().center());
    };
    GifCtl* menu = m_window->gifCtl(12);
    GifCtl* help = m_window->gifCtl(9);
    GifCtl* about = m_window->gifCtl(11);
    GifCtl* exit = m_window->gifCtl(10);
    for (GifCtl* g : {menu, help, about, exit}) {
        QVERIFY(g);
        QVERIFY(!g->Enabled());
        QVERIFY(g->frameCount() > 0);
    }

    // Pointing at a button starts its animation; the device or the control
    // button stops all four.
    QTest::mouseMove(help, help->rect().center());
    QTest::mouseMove(menu, menu->rect().center());
    QVERIFY(help->Enabled() && menu->Enabled());
    QTest::mouseMove(m_window->findChild<QWidget*>("Picture1"), QPoint(30, 300));
    QVERIFY(!help->Enabled() && !menu->Enabled());
    QTest::mouseMove(about, about->rect().center());
    QTest::mouseMove(m_window->findChild<QWidget*>("picOK"), QPoint(45, 45));
    QVERIFY(!about->Enabled());

    press(about);
    QCOMPARE(m_window->frontPanel()->objectName(), QString("FraAbobe"));
    press(help);
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraSpravka"));
    QCOMPARE(m_window->state().panelMode, PanelMode::Help);
    QVERIFY(m_window->gifCtl(13)->Enabled());
    // "... появится вот такой значок.": the watcher's icon just after the words.
    auto* text = m_window->findChild<HelpText*>("Text2");
    auto* icon = m_window->findChild<QLabel*>("trayIconSample");
    QVERIFY(text && icon && icon->isVisible() && !icon->pixmap().isNull());
    const QTextBlock line = text->document()->findBlockByNumber(7);
    QVERIFY(line.text().contains(QStringLiteral("значок.")));
    QTextCursor end(line);
    end.setPosition(line.position() + int(line.text().indexOf(QStringLiteral("значок."))) + 7);
    const QRect words = text->cursorRect(end).translated(
        text->viewport()->mapTo(icon->parentWidget(), QPoint(0, 0)));
    QVERIFY2(
        icon->geometry().left() >= words.left() && icon->geometry().left() <= words.left() + 8 &&
            qAbs(icon->geometry().center().y() - words.center().y()) <= 2,
        qPrintable(
            QString("%1,%2 vs %3,%4").arg(icon->x()).arg(icon->y()).arg(words.x()).arg(words.y())));
    press(menu);
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraMeny"));

    QVERIFY(m_window->isVisible());
    press(exit);
    QTRY_VERIFY(!m_window->isVisible());
}

void TestMenu::backgroundAnimationIsChosenByDoubleClick()
{
    GifCtl* animation = m_window->gifCtl(2);
    QVERIFY(animation && animation->frameCount() > 0);
    const QSize before = animation->gifSize();

    // Cancelled: the animation stays.
    QTest::mouseDClick(m_window->findChild<QLabel*>("fonMeny"), Qt::LeftButton, {},
                       QPoint(20, 200));
    QCOMPARE(m_fakes.dialogs.size(), 1);
    QCOMPARE(m_fakes.dialogs[0].title, QString("Ищем Графические файлы"));
    QCOMPARE(animation->gifSize(), before);

    // A GIF chosen: it is loaded into the start picture's animation.
    const QString gif = m_dir->path() + "/picked.gif";
    QVERIFY(QProcess::execute("convert", {"-size", "7x5", "xc:red", gif}) == 0);
    m_fakes.dialogAnswer = gif;
    QTest::mouseClick(animation, Qt::LeftButton, {}, animation->rect().center());
    QCOMPARE(m_fakes.dialogs.size(), 2);
    QCOMPARE(animation->gifSize(), QSize(7, 5));

    // Big animations pass; one beyond the limits is refused with the reason
    // in the hint line, and the animation shown stays.
    const auto gifOfSize = [this](const QString& name, int w, int h) {
        QByteArray bytes("GIF89a");
        for (int v : {w, h})
            bytes += char(v & 0xff), bytes += char(v >> 8);
        bytes += QByteArray("\x80\0\0\xff\0\0\0\0\xff", 9); // two colours
        bytes += QByteArray("\x2C\0\0\0\0", 5);
        for (int v : {w, h})
            bytes += char(v & 0xff), bytes += char(v >> 8);
        // One pixel, then the data end: the rest of the image stays empty.
        bytes += QByteArray("\0\x02\x02\x4C\x01\0\x3B", 7);
        QFile file(m_dir->path() + "/" + name);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return file.fileName();
    };
    m_fakes.dialogAnswer = gifOfSize("huge.gif", 20000, 100);
    QTest::mouseClick(animation, Qt::LeftButton, {}, animation->rect().center());
    QVERIFY2(m_window->hint().contains("16384"), qPrintable(m_window->hint()));
    QCOMPARE(animation->gifSize(), QSize(7, 5));
    QVERIFY(animation->frameCount() > 0);
    m_fakes.dialogAnswer = gifOfSize("big.gif", 5000, 4000);
    QTest::mouseClick(animation, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(animation->gifSize(), QSize(5000, 4000));
    QCOMPARE(animation->decodeError(), GifError::None);
}

void TestMenu::deviceMovesTheWindowOnlyWhenDragged()
{
    // Presses go to the widget under the pointer and travel up to the device
    // picture when that widget ignores them, as on screen.
    auto* device = m_window->findChild<QWidget*>("Picture1");
    auto* fonMeny = m_window->findChild<QLabel*>("fonMeny");
    QFrame* list = m_window->panel("fraSpisok");
    const int far = QApplication::startDragDistance() + 2;
    const int near = QApplication::startDragDistance() / 2;
    const struct
    {
        const char* what;
        QWidget* pressed;
        QPoint at;
        int moveBy;
        int drags;
    } cases[] = {
        {"click on the device", device, {20, 200}, 0, 0},
        {"pointer shaken less than the drag distance", device, {20, 200}, near, 0},
        {"dragged on the device", device, {20, 200}, far, 1},
        {"dragged on the background picture", fonMeny, {50, 50}, far, 0},
        {"dragged on an empty panel area", list, {100, 290}, far, 0},
    };
    for (const auto& c : cases) {
        m_fakes.drags = 0;
        m_window->showPanel(c.pressed == list ? list : m_window->panel("fraZastavra"));
        QTest::mousePress(c.pressed, Qt::LeftButton, {}, c.at);
        if (c.moveBy) {
            const QPoint to = c.at + QPoint(c.moveBy, 0);
            QMouseEvent move(QEvent::MouseMove, to, c.pressed->mapToGlobal(to), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(c.pressed, &move);
        }
        QTest::mouseRelease(c.pressed, Qt::LeftButton, {}, c.at);
        QVERIFY2(m_fakes.drags == c.drags, c.what);
        // The next press is not a double click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
    }

    // A double click on the background picture reaches it whole.
    m_window->showPanel(m_window->panel("fraZastavra"));
    m_fakes.drags = 0;
    const qsizetype dialogs = m_fakes.dialogs.size();
    QTest::mouseDClick(fonMeny, Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(m_fakes.dialogs.size(), dialogs + 1);
    QCOMPARE(m_fakes.drags, 0);
}

// The keyboard reaches what the mouse reaches: Esc the menu, 1 to 4 its
// items (only while it is in front), F1 the help, the arrows and Enter the
// control button, Delete the delete question, Enter and Esc its answers.
void TestMenu::keysDoWhatTheButtonsDo()
{
    const auto front = [this] { return m_window->frontPanel()->objectName(); };
    QTest::keyClick(m_window, Qt::Key_2);
    QCOMPARE(front(), QString("fraZastavra")); // no menu in front: nothing
    QTest::keyClick(m_window, Qt::Key_Escape);
    QCOMPARE(front(), QString("fraMeny"));
    QTest::keyClick(m_window, Qt::Key_2);
    QCOMPARE(front(), QString("FrTimer"));
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);
    // The dial: an hour a step, PgDn the night half; then a minute a step.
    QTest::keyClick(m_window, Qt::Key_Right);
    QTest::keyClick(m_window, Qt::Key_Right);
    QCOMPARE(m_window->findChild<DialPanel*>()->hourNev(), QString("14"));
    QTest::keyClick(m_window, Qt::Key_PageDown);
    QCOMPARE(m_window->findChild<DialPanel*>()->hourNev(), QString("2"));
    QTest::keyClick(m_window, Qt::Key_Return);
    QCOMPARE(m_window->state().buttonZone, ButtonZone::Ok);
    QCOMPARE(m_window->state().panelMode, PanelMode::Minute);
    QTest::keyClick(m_window, Qt::Key_Left);
    QCOMPARE(m_window->findChild<DialPanel*>()->model().minute(), QString("9"));
    // The focus mark frames what the keys act on; a mouse press ends it.
    auto* mark = m_window->findChild<QWidget*>("focusMark");
    QVERIFY(mark->isVisible());
    QVERIFY(mark->geometry().contains(
        QRect(m_window->findChild<DialPanel*>()->mapTo(m_window, QPoint()),
              m_window->findChild<DialPanel*>()->size())));
    QTest::mouseClick(m_window->findChild<QWidget*>("picOK"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!mark->isVisible());

    // The calendar: the arrows move the day, PgDn the month.
    QTest::keyClick(m_window, Qt::Key_Return);
    QCOMPARE(front(), QString("fraCalendar"));
    auto* calendar = m_window->findChild<QCalendarWidget*>();
    const QDate today = calendar->selectedDate();
    QTest::keyClick(m_window, Qt::Key_Right);
    QTest::keyClick(m_window, Qt::Key_Down);
    QCOMPARE(calendar->selectedDate(), today.addDays(8));
    QTest::keyClick(m_window, Qt::Key_PageDown);
    QCOMPARE(calendar->selectedDate(), today.addDays(8).addMonths(1));
    QCOMPARE(mark->geometry(),
             QRect(calendar->mapTo(m_window, QPoint()), calendar->size()).adjusted(-2, -2, 2, 2) &
                 m_window->rect());

    // F1 the help; again, its keys, below the text's end; again, the text.
    const auto topLine = [this] {
        auto* text = m_window->findChild<QPlainTextEdit*>("Text2");
        return text->cursorForPosition(QPoint(4, 4)).block().text();
    };
    QTest::keyClick(m_window, Qt::Key_F1);
    QCOMPARE(front(), QString("fraSpravka"));
    QCOMPARE(topLine(), HelpText::text().section("\r\n", 0, 0));
    QVERIFY(m_window->findChild<QLabel*>("trayIconSample")->isVisible());
    QTest::keyClick(m_window, Qt::Key_F1);
    QCOMPARE(topLine(), QString("Клавиши"));
    QVERIFY(!m_window->findChild<QLabel*>("trayIconSample")->isVisible());
    QTest::keyClick(m_window, Qt::Key_F1);
    QCOMPARE(topLine(), HelpText::text().section("\r\n", 0, 0));
    QTest::keyClick(m_window, Qt::Key_Escape);
    QTest::keyClick(m_window, Qt::Key_1);
    QCOMPARE(front(), QString("fraSpisok"));
    QTest::keyClick(m_window, Qt::Key_Down);
    QCOMPARE(m_window->state().buttonZone, ButtonZone::Down);

    // What a screen reader hears of the pictures pressed here.
    const auto heard = [this](const char* name, int index = -1) {
        for (QWidget* w : m_window->findChildren<QWidget*>(QLatin1String(name))) {
            if (index < 0 || w->property("Index").toInt() == index) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                return a ? a->text(QAccessible::Name) : QString();
            }
        }
        return QString("(no %1)").arg(name);
    };
    QCOMPARE(heard("GifCtl12"), QString("Меню"));
    QCOMPARE(heard("GifCtl10"), QString("Закрыть"));
    QCOMPARE(heard("GifCtl9"), QString("Справка"));
    QCOMPARE(heard("GifCtl11"), QString("О программе"));
    QCOMPARE(heard("picMeny", 1), QString("Создать новую запись"));
    QCOMPARE(heard("picMeny", 3), QString("Настройки"));
    QCOMPARE(heard("imgRecord_0"), QString("Запись"));
    QCOMPARE(heard("imgStop_0"), QString("Стоп"));
    QCOMPARE(heard("lstFiles"), QString("Список заданий"));
    // The hint line is read as what it says.
    QCOMPARE(heard("lbHelp"), m_window->hint());
}

void TestMenu::screenReaderPressesWhatIsShown()
{
    const auto front = [this] { return m_window->frontPanel()->objectName(); };
    const auto reader = [this](const char* name, int index = -1) -> QAccessibleInterface* {
        for (QWidget* w : m_window->findChildren<QWidget*>(QLatin1String(name)))
            if (index < 0 || w->property("Index").toInt() == index)
                return QAccessible::queryAccessibleInterface(w);
        return nullptr;
    };
    // Pressed as a screen reader presses: by the control's action, answered
    // once the event loop runs again.
    const auto press = [](QAccessibleInterface* a) {
        QVERIFY(a && a->actionInterface());
        QCOMPARE(a->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::pressAction()});
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::processEvents();
    };

    QCOMPARE(reader("GifCtl12")->role(), QAccessible::Button);
    QCOMPARE(reader("picMeny", 1)->role(), QAccessible::MenuItem);
    QCOMPARE(reader("lblToday3")->role(), QAccessible::RadioButton);
    QCOMPARE(reader("lblToday3")->text(QAccessible::Name), QString("Все задачи"));
    QCOMPARE(reader("lbHelp")->role(), QAccessible::StatusBar);
    QCOMPARE(reader("GifCtl2")->text(QAccessible::Name), QString("Выбрать анимацию заставки"));
    QCOMPARE(reader("picGromkoct")->role(), QAccessible::Slider);
    QCOMPARE(reader("picGromkoct")->text(QAccessible::Name), QString("Громкость"));
    QVERIFY(reader("picGromkoct")->actionInterface()->actionNames().isEmpty());
    QCOMPARE(reader("imgSliderClik")->text(QAccessible::Name), QString("Место в записи"));
    QCOMPARE(reader("zoneUp")->text(QAccessible::Name), QString("Вверх"));
    QCOMPARE(reader("zoneOk")->text(QAccessible::Name), QString("ОК"));
    QCOMPARE(reader("zoneDown")->text(QAccessible::Name), QString("Вниз"));

    // A menu item under the start picture is not on the screen: it reads so,
    // and its action does nothing.
    QVERIFY(reader("picMeny", 1)->state().invisible);
    QVERIFY(!reader("GifCtl12")->state().invisible);
    press(reader("picMeny", 1));
    QCOMPARE(front(), QString("fraZastavra"));

    press(reader("GifCtl12"));
    QCOMPARE(front(), QString("fraMeny"));
    QVERIFY(!reader("picMeny", 1)->state().invisible);
    press(reader("picMeny", 1));
    QCOMPARE(front(), QString("FrTimer"));
    // The pad's zones press the button under them, each in its own place.
    press(reader("zoneUp"));
    QCOMPARE(m_window->state().buttonZone, ButtonZone::Up);
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);
    press(reader("zoneOk"));
    QCOMPARE(m_window->state().buttonZone, ButtonZone::Ok);
    QCOMPARE(m_window->state().panelMode, PanelMode::Minute);
}

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
