#pragma once

#include <QFrame>

class QLabel;

// The about panel `FraAbobe`: the title, the version caption, the program's
// picture, its animation `GifCtl6` and the mail and web links.
class AboutPanel : public QFrame
{
    Q_OBJECT
public:
    explicit AboutPanel(QWidget* parent = nullptr);

    // lblVersion: "Version " and the three version numbers.
    void setVersion(const QString& text);

private:
    QLabel* m_lblVersion = nullptr;
};
