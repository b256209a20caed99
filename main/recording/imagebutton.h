#pragma once

#include <QLabel>

// One picture of a button made of stacked pictures (`imgRecord` item 0 and
// item 1 lie at the same place; the one raised to the front is seen).
class ImageButton : public QLabel
{
    Q_OBJECT
public:
    ImageButton(const QString& name, const QPixmap& picture, const QRect& geometry,
                QWidget* parent);

signals:
    void pressed(Qt::MouseButton button);
    void released(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
