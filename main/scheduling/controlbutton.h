#pragma once

#include "buttonzones.h"

#include <QPixmap>
#include <QWidget>

#include <array>

// The three-zone button under the screen (up arrow, OK, down arrow). It shows
// one of seven images: the normal one, a hover image per zone, a pressed image
// per zone. What a press does is decided by the window; this widget only
// reports the zone.
class ControlButton : public QWidget
{
    Q_OBJECT
public:
    explicit ControlButton(QWidget* parent = nullptr);

    // Names of the image in front: "picOK0", "picOK1".."picOK3", "Picture3_1".."Picture3_3".
    QString frontImage() const;

    void showNormal();
    void showPressed(ButtonZone zone);

signals:
    // The mouse moved over the button (the window stops its button animations).
    void hovered();
    // A button went down; `zone` is the zone last entered.
    void zonePressed(ButtonZone zone);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    std::array<QPixmap, 4> m_normal;  // item 0 normal, 1..3 hover of the zone
    std::array<QPixmap, 4> m_pressed; // 1..3
    ButtonZone m_zone = ButtonZone::None;
    int m_front = 0;     // 0..3 hover set, 11..13 pressed set
    bool m_held = false; // pressed and not yet released
};
