#include "backgroundchooser.h"
#include "settingsfile.h"
#include "testclock.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage solid(int w, int h, const QColor& c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

QColor at(const QLabel* box, int x, int y)
{
    const QImage img = box->pixmap().toImage();
    return img.isNull() ? QColor() : img.pixelColor(x, y);
}

bool near(const QColor& a, const QColor& b)
{
    return a.isValid() && qAbs(a.red() - b.red()) < 30 && qAbs(a.green() - b.green()) < 30 &&
           qAbs(a.blue() - b.blue()) < 30;
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The window parts the chooser works on, a program folder with a red default
// picture, and hooks that record what the user would see and hear.
struct Harness
{
    QTemporaryDir dir;
    QWidget window;
    QFrame* fraZastavra;
    QFrame* fraMeny;
    QLabel* fonMeny;
    QLabel* picProzr;
    QListWidget* file1;
    QLineEdit* text1;
    WindowState state;
    TestClock clock{QDateTime(QDate(2026, 12, 7), QTime(14, 28, 42))};
    QStringList hints;
    QStringList warnings;
    QString caption;
    int beeps = 0;
    int menuBuilds = 0;
    std::unique_ptr<BackgroundChooser> chooser;

    explicit Harness(const QStringList& pictures = {})
    {
        QDir(path()).mkpath("Data");
        QDir(path()).mkpath("Picture");
        solid(200, 300, Qt::red).save(path() + "/Data/1.jpg");
        const QColor colours[] = {Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
        for (int i = 0; i < pictures.size(); ++i)
            solid(200, 300, colours[i % 4]).save(path() + "/Picture/" + pictures[i], "BMP");

        window.resize(319, 548);
        fraZastavra = new QFrame(&window);
        fraZastavra->setObjectName("fraZastavra");
        fraZastavra->setGeometry(64, 68, 200, 300);
        fraMeny = new QFrame(&window);
        fraMeny->setGeometry(64, 68, 200, 300);
        fonMeny = new QLabel(fraZastavra);
        fonMeny->setObjectName("fonMeny");
        fonMeny->setGeometry(0, 0, 200, 300);
        fonMeny->setPixmap(QPixmap(path() + "/Data/1.jpg"));
        picProzr = new QLabel(&window);
        picProzr->hide();
        file1 = new QListWidget(&window);
        file1->hide();
        text1 = new QLineEdit(&window);
        text1->hide();

        BackgroundChooser::Parts parts;
        parts.programFolder = path();
        parts.fonMeny = fonMeny;
        parts.picProzr = picProzr;
        parts.file1 = file1;
        parts.text1 = text1;
        parts.state = &state;
        parts.clock = &clock;
        parts.writeSettings = [this](const QString& line) {
            return SettingsFile::write(path(), line);
        };
        parts.beep = [this] { ++beeps; };
        parts.warn = [this](const QString& title, const QString& text) {
            warnings << title + "|" + text;
        };
        parts.setCaption = [this](const QString& c) { caption = c; };
        chooser = std::make_unique<BackgroundChooser>(parts);
        QObject::connect(chooser.get(), &BackgroundChooser::hintChanged,
                         [this](const QString& h) { hints << h; });
        QObject::connect(chooser.get(), &BackgroundChooser::menuRequested, [this] {
            ++menuBuilds;
            hints << QString(); // the menu build clears the hint line
            fraMeny->raise();
        });
        chooser->refreshPictureList();
    }
    QString path() const { return dir.path(); }
    QString settingsBytes() const
    {
        return QString::fromLatin1(bytesOf(path() + "/Data/index.txt"));
    }
    QString selected() const { return file1->currentItem() ? file1->currentItem()->text() : "-"; }
    QStringList pictureFiles() const
    {
        return QDir(path() + "/Picture").entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString picture(const QString& name, int w, int h)
    {
        const QString file = path() + "/" + name;
        solid(w, h, Qt::magenta).save(file);
        return file;
    }
    void writeSettingsFile(const QByteArray& bytes)
    {
        QFile f(path() + "/Data/index.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // What start-up would show from the settings file.
    QImage startUpPicture() const
    {
        const auto text = SettingsFile::read(path());
        return text ? QImage(path() + "/Picture/" + SettingsFile::pictureName(*text)) : QImage();
    }
};

} // namespace

class TestBackgroundChooser : public QObject
{
    Q_OBJECT
private slots:
    void browsingBeepsAtBothEnds();
    void arrowsOnlyWhileBrowsing();
    void emptyFolder();
    void okKeepsTheBrowsedChoice();
    void dropTakesTheLastFile();
    void portraitFillsTheBox();
    void uprightOnly_data();
    void uprightOnly();
    void dropEventThroughTheBox();
    void okWithoutDrop();
    void keptPictureIsWhatStartUpLoads();
    void keptPictureNeverReplacesAnother();
    void restoreDefaultLeavesTwoBytes();
    void unwritableFoldersWriteNothing_data();
    void unwritableFoldersWriteNothing();
};

void TestBackgroundChooser::browsingBeepsAtBothEnds()
{
    Harness h({"10.bmp", "20.bmp", "42.BMP"});
    auto* up = h.window.findChild<QPushButton*>("Command3");
    auto* down = h.window.findChild<QPushButton*>("Command4");
    QVERIFY(up && down);
    QCOMPARE(up->text(), QStringLiteral("Вверх"));
    QCOMPARE(down->text(), QStringLiteral("Вниз"));

    h.state.panelMode = PanelMode::SavedPictures;
    h.chooser->browseSaved();
    QCOMPARE(h.hints.last(), BackgroundChooser::kBrowseHint);
    QVERIFY(near(at(h.fonMeny, 5, 5), Qt::green));
    QCOMPARE(h.fraZastavra, qobject_cast<QFrame*>(h.window.children().last()));

    struct Step
    {
        QPushButton* button;
        const char* selected;
        QColor shown;
        int beeps;
    };
    const Step steps[] = {
        {up, "10.bmp", Qt::green, 1}, // already first: beep, stays
        {down, "20.bmp", Qt::blue, 1},
        {down, "42.BMP", Qt::blue, 1}, // selected, but upper case is
                                       // not shown
        {down, "42.BMP", Qt::blue, 2}, // last: beep, stays
        {up, "20.bmp", Qt::blue, 2},
        {up, "10.bmp", Qt::green, 2},
        {up, "10.bmp", Qt::green, 3},
    };
    for (const Step& s : steps) {
        s.button->click();
        QCOMPARE(h.selected(), QString::fromLatin1(s.selected));
        QVERIFY2(near(at(h.fonMeny, 5, 5), s.shown), qPrintable(at(h.fonMeny, 5, 5).name()));
        QCOMPARE(h.beeps, s.beeps);
    }
}

void TestBackgroundChooser::arrowsOnlyWhileBrowsing()
{
    Harness h({"10.bmp", "20.bmp"});
    for (quint8 mode : {0, 11, 21, 199}) {
        h.state.panelMode = PanelMode(mode);
        h.chooser->next();
        h.chooser->previous();
        QCOMPARE(h.selected(), QStringLiteral("10.bmp"));
        QCOMPARE(h.beeps, 0);
    }
}

void TestBackgroundChooser::emptyFolder()
{
    Harness h;
    h.state.panelMode = PanelMode::SavedPictures;
    h.chooser->browseSaved();
    QCOMPARE(h.hints.last(), BackgroundChooser::kNoSavedPictures);
    QVERIFY(near(at(h.fonMeny, 5, 5), Qt::red));
    h.chooser->next();
    h.chooser->previous();
    QCOMPARE(h.beeps, 0);
    QCOMPARE(h.file1->count(), 0);
    // OK with nothing to choose keeps the settings as they were.
    h.writeSettingsFile("old.bmp\r\n");
    QVERIFY(h.chooser->confirm());
    QCOMPARE(h.settingsBytes(), QStringLiteral("old.bmp\r\n"));
    QCOMPARE(h.state.panelMode, PanelMode::TaskList);
}

void TestBackgroundChooser::okKeepsTheBrowsedChoice()
{
    Harness h({"10.bmp", "20.bmp"});
    h.state.panelMode = PanelMode::SavedPictures;
    h.chooser->browseSaved();
    h.chooser->next();
    QVERIFY(h.chooser->confirm());
    QCOMPARE(h.settingsBytes(), QStringLiteral("20.bmp\r\n"));
    QCOMPARE(h.text1->text(), QStringLiteral("20.bmp"));
    QCOMPARE(h.state.panelMode, PanelMode::TaskList);
    QCOMPARE(h.menuBuilds, 1);
    QVERIFY(near(h.startUpPicture().pixelColor(5, 5), Qt::blue));
    // Other modes are not the chooser's.
    for (quint8 mode : {0, 1, 2, 31, 33, 100, 199, 201, 12, 13}) {
        h.state.panelMode = PanelMode(mode);
        QVERIFY(!h.chooser->confirm());
    }
    QCOMPARE(h.menuBuilds, 1);
}

void TestBackgroundChooser::dropTakesTheLastFile()
{
    Harness h;
    h.state.panelMode = PanelMode::OwnPicture;
    const QList<QUrl> urls{QUrl::fromLocalFile(h.picture("wide.png", 400, 300)),
                           QUrl::fromLocalFile(h.picture("square.png", 400, 400)),
                           QUrl::fromLocalFile(h.picture("holiday.jpg", 300, 400))};
    QVERIFY(h.chooser->handleDrop(urls));
    QCOMPARE(h.warnings, QStringList());
    QCOMPARE(h.caption, QStringLiteral("JPG   a.Width = 4500   a.Height = 6000"));
    QCOMPARE(h.state.panelMode, PanelMode::DroppedPicture);
    QCOMPARE(h.hints.last(), BackgroundChooser::kDroppedHint);

    // Not a picture, or no file at all: ignored without a word.
    h.state.panelMode = PanelMode::OwnPicture;
    QFile text(h.path() + "/notes.txt");
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    QVERIFY(!h.chooser->handleDrop({QUrl::fromLocalFile(text.fileName())}));
    QVERIFY(!h.chooser->handleDrop({}));
    QVERIFY(!h.chooser->handleDrop({QUrl("https://example.org/a.jpg")}));
    QCOMPARE(h.state.panelMode, PanelMode::OwnPicture);
    QCOMPARE(h.warnings, QStringList());
}

void TestBackgroundChooser::portraitFillsTheBox()
{
    Harness h;
    QVERIFY(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("p.png", 300, 400))}));
    const QImage shown = h.fonMeny->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(200, 300));
    // Too wide to fill the box across: it fills it down its height, the
    // sides cut evenly; no band of the box's colour anywhere.
    for (int x : {0, 100, 199})
        for (int y : {0, 266, 267, 299})
            QVERIFY2(near(shown.pixelColor(x, y), Qt::magenta),
                     qPrintable(QString("%1,%2").arg(x).arg(y)));
    // Taller than one and a half widths: cut at the bottom.
    QVERIFY(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("t.png", 100, 400))}));
    QVERIFY(near(h.fonMeny->pixmap().toImage().pixelColor(100, 299), Qt::magenta));

    // Big photos are never held whole: a portrait one is read at the size
    // shown, a landscape one is refused from its header. Either would need
    // 23 MB decoded whole.
    const QString upright = h.picture("big.jpg", 2000, 3000);
    const QString wide = h.picture("wide.jpg", 3000, 2000);
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(8);
    const bool taken = h.chooser->handleDrop({QUrl::fromLocalFile(upright)});
    const bool refused = !h.chooser->handleDrop({QUrl::fromLocalFile(wide)});
    QImageReader::setAllocationLimit(limit);
    QVERIFY(taken && refused);
    QCOMPARE(h.warnings.size(), 1);
    QCOMPARE(h.fonMeny->pixmap().size(), QSize(200, 300));
    QVERIFY(near(h.fonMeny->pixmap().toImage().pixelColor(100, 299), Qt::magenta));
}

void TestBackgroundChooser::uprightOnly_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("taken");
    QTest::newRow("square") << 400 << 400 << false;
    QTest::newRow("landscape") << 401 << 400 << false;
    QTest::newRow("portrait") << 399 << 400 << true;
}

void TestBackgroundChooser::uprightOnly()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, taken);
    Harness h;
    h.state.panelMode = PanelMode::OwnPicture;
    QCOMPARE(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("x.png", width, height))}),
             taken);
    QCOMPARE(h.state.panelMode, taken ? PanelMode::DroppedPicture : PanelMode::OwnPicture);
    QCOMPARE(h.warnings, taken ? QStringList()
                               : QStringList{BackgroundChooser::kNotUprightTitle + "|" +
                                             BackgroundChooser::kNotUprightText});
    QCOMPARE(near(at(h.fonMeny, 100, 10), Qt::red), !taken);
    QVERIFY(h.caption.startsWith("PNG   a.Width = "));
}

void TestBackgroundChooser::dropEventThroughTheBox()
{
    Harness h;
    h.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    QVERIFY(h.fonMeny->acceptDrops());
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(h.picture("d.png", 150, 300))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.fonMeny, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.fonMeny, &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(h.state.panelMode, PanelMode::DroppedPicture);
    QVERIFY(near(at(h.fonMeny, 100, 299), Qt::magenta));
}

void TestBackgroundChooser::okWithoutDrop()
{
    Harness h;
    h.picProzr->setPixmap(QPixmap::fromImage(solid(200, 300, Qt::darkGray)));
    h.chooser->chooseOwn();
    QCOMPARE(h.hints.last(), BackgroundChooser::kDropHint);
    QVERIFY(near(at(h.fonMeny, 5, 5), Qt::red));
    h.state.panelMode = PanelMode::OwnPicture;
    QVERIFY(h.chooser->confirm());
    QCOMPARE(h.menuBuilds, 1);
    QCOMPARE(h.hints.last(), BackgroundChooser::kNoDrop);
    QVERIFY(near(at(h.fonMeny, 5, 5), Qt::darkGray));
    QVERIFY(!QFile::exists(h.path() + "/Data/index.txt"));
    QCOMPARE(h.pictureFiles(), QStringList());
}

void TestBackgroundChooser::keptPictureIsWhatStartUpLoads()
{
    Harness h({"10.bmp", "20.bmp", "30.bmp"});
    QVERIFY(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("p.png", 150, 300))}));
    const QImage dropped = h.fonMeny->pixmap().toImage();
    // The menu built meanwhile draws its captions over the box: not kept.
    QPixmap captioned = h.fonMeny->pixmap();
    captioned.fill(Qt::white);
    h.fonMeny->setPixmap(captioned);
    QVERIFY(h.chooser->confirm());
    QCOMPARE(h.caption, QStringLiteral("Quillmur"));
    QCOMPARE(h.pictureFiles(), QStringList({"10.bmp", "20.bmp", "30.bmp", "42.bmp"}));
    QCOMPARE(bytesOf(h.path() + "/Data/index.txt"), QByteArray("42.bmp\r\n"));
    QCOMPARE(h.text1->text(), QStringLiteral("42.bmp"));
    QCOMPARE(h.state.panelMode, PanelMode::TaskList);
    QCOMPARE(h.menuBuilds, 1);
    QCOMPARE(h.selected(), QStringLiteral("42.bmp"));
    QCOMPARE(h.file1->count(), 4);
    const QImage loaded = h.startUpPicture();
    QCOMPARE(loaded.size(), QSize(200, 300));
    QCOMPARE(loaded.convertToFormat(QImage::Format_RGB32),
             dropped.convertToFormat(QImage::Format_RGB32));
}

void TestBackgroundChooser::keptPictureNeverReplacesAnother()
{
    Harness h({"42.bmp", "43.bmp"});
    const QByteArray earlier = bytesOf(h.path() + "/Picture/42.bmp");
    for (const char* expected : {"44.bmp", "45.bmp"}) {
        QVERIFY(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("p.png", 150, 300))}));
        QVERIFY(h.chooser->confirm());
        QCOMPARE(h.settingsBytes(), QString::fromLatin1(expected) + "\r\n");
    }
    QCOMPARE(bytesOf(h.path() + "/Picture/42.bmp"), earlier);
    QCOMPARE(h.pictureFiles(), QStringList({"42.bmp", "43.bmp", "44.bmp", "45.bmp"}));

    // Past 99 the names wrap round to 00.
    h.clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 29, 59)));
    for (int i = 59; i < 100; ++i) {
        QFile taken(h.path() + QStringLiteral("/Picture/%1.bmp").arg(i));
        QVERIFY(taken.open(QIODevice::WriteOnly));
    }
    QVERIFY(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("p.png", 150, 300))}));
    const QImage dropped = h.fonMeny->pixmap().toImage();
    // The menu built meanwhile draws its captions over the box: not kept.
    QPixmap captioned = h.fonMeny->pixmap();
    captioned.fill(Qt::white);
    h.fonMeny->setPixmap(captioned);
    QVERIFY(h.chooser->confirm());
    QCOMPARE(h.caption, QStringLiteral("Quillmur"));
    QCOMPARE(h.settingsBytes(), QStringLiteral("00.bmp\r\n"));
}

void TestBackgroundChooser::restoreDefaultLeavesTwoBytes()
{
    Harness h({"10.bmp"});
    h.writeSettingsFile("10.bmp\r\n");
    h.fonMeny->setPixmap(QPixmap(h.path() + "/Picture/10.bmp"));
    h.state.panelMode = PanelMode::DefaultPicture;
    h.chooser->restoreDefault();
    QCOMPARE(bytesOf(h.path() + "/Data/index.txt"), QByteArray("\r\n"));
    QVERIFY(near(at(h.fonMeny, 5, 5), Qt::red));
    QCOMPARE(h.menuBuilds, 1);
    QVERIFY(h.startUpPicture().isNull()); // start-up then keeps Data/1.jpg
}

void TestBackgroundChooser::unwritableFoldersWriteNothing_data()
{
    QTest::addColumn<QString>("blocked"); // made a folder where a file belongs, or the reverse
    QTest::addColumn<int>("mode");
    QTest::newRow("settings file, restore") << "Data/index.txt" << 12;
    QTest::newRow("settings file, browsed choice") << "Data/index.txt" << 10;
    QTest::newRow("settings file, kept picture") << "Data/index.txt" << 21;
    QTest::newRow("picture folder, kept picture") << "Picture" << 21;
}

void TestBackgroundChooser::unwritableFoldersWriteNothing()
{
    QFETCH(QString, blocked);
    QFETCH(int, mode);
    // Root may write anywhere, but not a file over a folder nor into a file.
    Harness h({"10.bmp"});
    h.writeSettingsFile("10.bmp\r\n");
    const QString target = h.path() + "/" + blocked;
    if (blocked == "Picture") {
        QVERIFY(QDir(target).removeRecursively());
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QFile::remove(target));
        QVERIFY(QDir().mkpath(target));
    }
    const QStringList dataBefore =
        QDir(h.path() + "/Data").entryList(QDir::AllEntries | QDir::Hidden);
    const QStringList picturesBefore = h.pictureFiles();
    h.fonMeny->setPixmap(QPixmap(h.path() + "/Data/1.jpg"));

    h.state.panelMode = PanelMode(mode);
    if (mode == 12) {
        h.fonMeny->setPixmap(QPixmap::fromImage(solid(200, 300, Qt::green)));
        h.chooser->restoreDefault();
        QVERIFY(near(at(h.fonMeny, 5, 5), Qt::green));
    } else if (mode == 10) {
        QVERIFY(h.chooser->confirm());
    } else {
        QVERIFY(h.chooser->handleDrop({QUrl::fromLocalFile(h.picture("p.png", 150, 300))}));
        QVERIFY(h.chooser->confirm());
    }
    QVERIFY2(h.hints.last().contains(blocked == "Picture" ? "Picture" : "Data"),
             qPrintable(h.hints.last()));
    QCOMPARE(h.menuBuilds, 0);
    QCOMPARE(h.state.panelMode, PanelMode(mode)); // the dialogue stays where it was
    QCOMPARE(QDir(h.path() + "/Data").entryList(QDir::AllEntries | QDir::Hidden), dataBefore);
    QCOMPARE(h.pictureFiles(), picturesBefore);
}

QTEST_MAIN(TestBackgroundChooser)
#include "test_backgroundchooser.moc"
