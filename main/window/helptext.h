#pragma once

#include <QPlainTextEdit>

// The help text of the help panel. A press on it disables it for half a
// second while the window goes on working.
class HelpText : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit HelpText(QWidget* parent = nullptr);

    // The exact text: eighteen lines and an empty one, joined by CR LF.
    static QString text();
    // The list of keys the text holds below it, beginning with its heading.
    static QString keys();
    static QString keysHeading();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};
