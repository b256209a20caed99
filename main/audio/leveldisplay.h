#pragma once

#include <QRect>
#include <QVector>
#include <QWidget>

// `PicDisplay`: the picture box of the level monitor. Each block replaces the
// picture with its ellipses.
class LevelDisplay : public QWidget
{
    Q_OBJECT
public:
    explicit LevelDisplay(QWidget* parent = nullptr);

    // `DrawLevel`: clear and draw the ellipses of one block.
    void DrawLevel(const QByteArray& block);
    const QVector<QRect>& ellipses() const { return m_ellipses; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<QRect> m_ellipses;
};
