#pragma once

#include "settingsmenu.h"
#include "suiteoptions.h"

#include <QImage>
#include <QWidget>

#include <array>

class QCheckBox;
class QFrame;

// The box picWibora of the settings panel: a four-item menu printed as text
// over a faint copy of the background picture. It fills the settings frame
// (200 x 300 pixels) and passes its mouse events to SettingsMenu, which
// decides what is highlighted and what a click means.
//
// The mouse capture of the menu rule is realised with leaveEvent rather than
// a pointer grab: while a button is held Qt delivers moves outside the box
// anyway, and without a button a grab would swallow clicks meant for the
// window's other buttons and could outlive the panel. Leaving the box thus
// drops every highlight and keeps the item code, as leaving it sideways does.
class SettingsPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;

    explicit SettingsPanel(QWidget* parent = nullptr);

    // The menu build's step for this box: the faint copy of the background
    // picture (stretched to the box) replaces whatever the box showed, the
    // printed menu included. Text and frames take the colours that stand out
    // on it.
    void setPreview(const QImage& preview);
    // Prints the nine menu lines (run when the settings panel opens).
    void drawSettingsMenu();

    // The two switches printed under the menu, below its last line.
    void setOptions(const SuiteOptions& options);
    SuiteOptions options() const;

    const SettingsMenu& menu() const { return m_menu; }
    QImage preview() const { return m_preview; }

signals:
    // A click stored `code` as the window's panelMode (0 before any hover).
    void itemClicked(PanelMode code);
    // What the click carries out, emitted after itemClicked.
    void browseSavedRequested();
    void ownPictureRequested();
    void restoreDefaultRequested();
    void autostartRequested();
    // One of the switches under the menu was turned.
    void optionsChanged(const SuiteOptions& options);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void showHighlights();
    void applyColours();

    SettingsMenu m_menu;
    QImage m_preview;
    bool m_menuPrinted = false;
    bool m_darkPreview = false;
    std::array<QFrame*, 6> m_line5{};
    std::array<QFrame*, SettingsMenu::kBandCount> m_shape1{};
    QCheckBox* m_voiceAfterChime = nullptr;
    QCheckBox* m_notifications = nullptr;
};
