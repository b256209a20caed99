#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

// Several pictures of one button stacked at one place (normal, pressed,
// playing...). The visible one is the topmost picture that is not hidden;
// bringing a picture to the front makes it the visible one. Presses report
// the index of the picture the user actually pressed.
class PictureStack : public QWidget
{
    Q_OBJECT
public:
    PictureStack(const QString& name, const QList<QPixmap>& pictures, QWidget* parent = nullptr);

    void bringToFront(int index);
    void setPictureVisible(int index, bool visible);
    bool isPictureVisible(int index) const;
    // The index of the picture on show, -1 when all are hidden.
    int shownIndex() const;

signals:
    void pressed(int index, const QPoint& pos);
    void released(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QList<QPixmap> m_pictures;
    QList<int> m_order; // back to front
    QList<bool> m_visible;
};
