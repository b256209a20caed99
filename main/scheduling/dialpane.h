#pragma once

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include <array>

class QTransform;

// One of the three 200 x 204 panes stacked in the dial: the corner pane
// (`Maska`, dial picture seen only in the four corners), the ring pane
// (`PicWremyU`, dial picture cut to the ring, with the pointer line) and the
// hole pane (`FonStrelki`, a plain colour with the rotated hand). The shapes
// are real widget masks, so the mouse reaches a pane only inside its shape.
// A pane only reports the mouse and draws what it is given.
class DialPane : public QWidget
{
    Q_OBJECT
public:
    enum class Role { Corner, Ring, Hole };

    DialPane(Role role, QWidget* parent);

    Role role() const { return m_role; }

    // The ring between the outer and the inner circle of the dial, and the
    // corners outside the dial, in pane pixels.
    static QRegion ringShape();
    static QRegion cornerShape();
    // The transform that takes the source's upper-left, upper-right and
    // lower-left corners to the three points.
    static QTransform threePointTransform(QSize source, const std::array<QPoint, 3>& points);

    // Cuts the pane to its shape (the hole pane keeps its whole area).
    void applyShape();

    void setPicture(const QPixmap& picture);
    // Hole pane: the hand picture and where its corners go.
    void setHand(const QPixmap& hand, const std::array<QPoint, 3>& points);
    // Ring pane: the pointer line from the centre.
    void setPointer(QPointF start, QPointF end, bool visible);
    bool pointerVisible() const { return m_pointerVisible; }
    QPointF pointerEnd() const { return m_pointerEnd; }
    std::array<QPoint, 3> handPoints() const { return m_handPoints; }

signals:
    void pressed();
    void moved(QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    Role m_role;
    qint64 m_lastPress = 0; // when this pane last took a press, ms since the epoch
    QPixmap m_picture;
    QPixmap m_hand;
    std::array<QPoint, 3> m_handPoints{};
    QPointF m_pointerStart;
    QPointF m_pointerEnd;
    bool m_pointerVisible = false;
};
