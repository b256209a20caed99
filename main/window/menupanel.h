#pragma once

#include "menuimages.h"

#include <QWidget>

#include <array>

class GifCtl;
class QLabel;

// The four-item main menu drawn over the background picture. Pointing at an
// item shows it bright with its hint; leaving it restores all four at once.
// What a click does is the window's business.
class MenuPanel : public QWidget
{
    Q_OBJECT
public:
    explicit MenuPanel(QWidget* parent = nullptr);

    static QString hintText(int item);

    // Draws the menu anew from the background picture. Returns the bright
    // picture with light captions, which the background box then shows.
    QImage build(const QImage& background);

    const MenuImages& images() const { return m_images; }
    // The item shown bright, or -1.
    int highlighted() const { return m_highlighted; }
    QWidget* item(int i) const;
    // GifCtl1 item i, the animation of menu item i.
    GifCtl* animation(int item) const;

signals:
    void hintChanged(const QString& text);
    // An item's animation runs only while the item is highlighted.
    void animationEnabled(int item, bool enabled);
    void itemClicked(int item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void highlight(int i);
    void leave();

    MenuImages m_images;
    std::array<QLabel*, 4> m_items{};
    std::array<GifCtl*, 4> m_animations{};
    int m_highlighted = -1;
};
