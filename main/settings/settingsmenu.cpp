#include "settingsmenu.h"

void SettingsMenu::move(int x, int y)
{
    if (x <= 0 || x >= m_innerWidth) {
        hideAll();
        m_captured = false;
        return;
    }
    m_captured = true;
    for (int band = 0; band < kBandCount; ++band) {
        const bool inside = y > kLines[size_t(band)] && y < kLines[size_t(band) + 1];
        m_shown[size_t(band)] = inside;
        if (inside)
            m_code = quint8(SavedPictures + band);
    }
    if (y > kBottomLine) {
        m_code = BelowItems;
        m_captured = false;
    }
}

void SettingsMenu::leave()
{
    hideAll();
    m_captured = false;
}

SettingsMenu::Click SettingsMenu::click() const
{
    switch (m_code) {
    case SavedPictures:
        // Only a visibly chosen item 10 opens the browser.
        return {PanelMode(m_code), m_shown[0] ? Action::BrowseSaved : Action::None};
    case OwnPicture:
        return {PanelMode(m_code), Action::ChooseOwn};
    case DefaultPicture:
        return {PanelMode(m_code), Action::RestoreDefault};
    case Autostart:
        return {PanelMode(m_code), Action::InstallWatcher};
    default:
        return {PanelMode(m_code), Action::None};
    }
}

void SettingsMenu::hideAll()
{
    m_shown.fill(false);
}
