#pragma once

#include <QFrame>

class GifCtl;
class HelpText;
class QLabel;

// The help panel `fraSpravka`: the help text on paper and its animation
// `GifCtl13`, which runs from the moment the panel is opened.
class HelpPanel : public QFrame
{
    Q_OBJECT
public:
    explicit HelpPanel(QWidget* parent = nullptr);

    // Brought to the front by the help button: the animation starts.
    void open();
    // Scrolls the text to its list of keys (true) or back to its top. The
    // list lies below the text's end, out of sight until asked for.
    void showKeys(bool keys);
    bool showsKeys() const { return m_showsKeys; }
    // Puts the help text `Text2` on the paper, unless it is there already.
    // Laying out text is the dearest part of the panel, so the window has it
    // done after its first frame (or the panel when it is opened first).
    void buildText();

private:
    void placeTrayIcon();

    GifCtl* m_gifCtl13 = nullptr;
    HelpText* m_text = nullptr;
    QLabel* m_trayIcon = nullptr; // the icon the text speaks of, beside its words
    bool m_showsKeys = false;
};
