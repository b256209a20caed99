#pragma once

#include "panelmode.h"

#include <QtGlobal>

#include <array>

// The hover and click rules of the settings menu, in twips of its box. The
// box is cut into bands by horizontal lines; hovering a band highlights it and
// remembers its item code, and a click acts on the code remembered last, even
// when the pointer has since moved to a gap between the bands.
class SettingsMenu
{
public:
    // Item codes; a click stores the code as the window's panelMode.
    enum Code : quint8 {
        NoItem = quint8(PanelMode::TaskList),               // nothing hovered yet
        SavedPictures = quint8(PanelMode::SavedPictures),   // browse the saved pictures
        OwnPicture = quint8(PanelMode::OwnPicture),         // drop a picture of one's own
        DefaultPicture = quint8(PanelMode::DefaultPicture), // restore the default background
        Autostart = quint8(PanelMode::Autostart),     // start the tray watcher now and at log-on
        BelowItems = quint8(PanelMode::BelowSettings) // the empty bottom of the box
    };

    // What a click asks the window to carry out.
    enum class Action { None, BrowseSaved, ChooseOwn, RestoreDefault, InstallWatcher };

    struct Click
    {
        PanelMode panelMode;
        Action action;
    };

    static constexpr int kBandCount = 4;
    // Lines between the bands (twips); below the last one lies BelowItems.
    static constexpr std::array<int, kBandCount + 1> kLines{0, 840, 1470, 2070, 2850};
    static constexpr int kBottomLine = 3660;

    explicit SettingsMenu(int innerWidthTwips) : m_innerWidth(innerWidthTwips) {}

    // The pointer moved to (x, y), in twips of the box; may lie outside it
    // while the box holds the mouse.
    void move(int x, int y);
    // The pointer left the box: every highlight goes, the code stays.
    void leave();
    // A mouse button went down on the box.
    Click click() const;

    quint8 itemCode() const { return m_code; }
    bool highlightShown(int band) const { return m_shown.at(size_t(band)); }
    // Whether the box keeps receiving the mouse outside its bounds.
    bool captured() const { return m_captured; }

private:
    void hideAll();

    int m_innerWidth;
    quint8 m_code = NoItem;
    std::array<bool, kBandCount> m_shown{};
    bool m_captured = false;
};
