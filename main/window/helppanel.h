#pragma once

#include <QFrame>

class GifCtl;

// The help panel `fraSpravka`: the help text on paper and its animation
// `GifCtl13`, which runs from the moment the panel is opened.
class HelpPanel : public QFrame
{
    Q_OBJECT
public:
    explicit HelpPanel(QWidget* parent = nullptr);

    // Brought to the front by the help button: the animation starts.
    void open();

private:
    GifCtl* m_gifCtl13 = nullptr;
};
