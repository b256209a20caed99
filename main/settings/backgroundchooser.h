#pragma once

#include "controltarget.h"
#include "windowstate.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class Clock;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The background-picture dialogue of the main window: browsing the saved
// pictures in Picture/, taking a picture dropped onto the background box,
// restoring the default, and keeping the choice when the control button's OK
// is pressed (it answers the control button in panelMode 10, 11 and 21). It
// works on the window's own controls and the shared state, handed over in
// Parts, and reports hints and the menu it wants through signals; the
// arithmetic lives in BackgroundRules.
//
// Drops onto fonMeny are taken by an event filter this object installs; the
// window forwards nothing.
class BackgroundChooser : public QObject, public ControlTarget
{
    Q_OBJECT
public:
    struct Parts
    {
        QString programFolder;
        QLabel* fonMeny = nullptr;  // the background box; its parent is fraZastavra
        QLabel* picProzr = nullptr; // the menu's dimmed copy, shown again when OK finds no drop
        QListWidget* file1 = nullptr;
        QLineEdit* text1 = nullptr;
        WindowState* state = nullptr; // panelMode
        const Clock* clock = nullptr;
        // Rewrites Data/index.txt with one line; false when it could not.
        std::function<bool(const QString& line)> writeSettings;
        // Optional; the system beep, a warning box and the window title by default.
        std::function<void()> beep;
        std::function<void(const QString& title, const QString& text)> warn;
        std::function<void(const QString&)> setCaption;
    };

    static const QString kBrowseHint;
    static const QString kNoSavedPictures;
    static const QString kDropHint;
    static const QString kDroppedHint;
    static const QString kNoDrop;
    static const QString kNotUprightTitle;
    static const QString kNotUprightText;

    explicit BackgroundChooser(Parts parts, QObject* parent = nullptr);

    // Settings items 10, 11 and 12.
    void browseSaved();
    void chooseOwn();
    void restoreDefault();

    // Command3 "Вверх" and Command4 "Вниз": step through the saved pictures
    // while panelMode is 10.
    void previous();
    void next();

    // A list of dropped files: the last one is taken. True when it became the
    // new background (panelMode 21).
    bool handleDrop(const QList<QUrl>& urls);

    // The control button's OK in panelMode 10, 11 and 21; false (nothing
    // done) in any other mode.
    bool confirm();

    // The control button: the arrows step through the saved pictures, OK
    // keeps the choice.
    void up() override { previous(); }
    void down() override { next(); }
    void ok() override { confirm(); }

    // Fills File1 from Picture/ and selects `name` (else the first entry).
    void refreshPictureList(const QString& name = QString());

    QString pictureFolder() const { return m_parts.programFolder + QLatin1String("/Picture"); }

signals:
    // A text for the hint line `lbHelp`.
    void hintChanged(const QString& text);
    // The dialogue has ended: the menu is to be built anew and shown.
    void menuRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelected();
    void keepSavedChoice();
    void keepDroppedPicture();
    // Draws the shown part of a dropped picture, already scaled to the box's
    // width, into fonMeny.
    void fitDroppedPicture(const QImage& fitted);
    QString defaultPicture() const;
    void beep();

    Parts m_parts;
    QImage m_dropped; // the dropped picture as kept, without anything drawn on it
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
};
