#pragma once

#include "filedialogrunner.h"

#include <QLabel>

class GifCtl;

// The start picture `fonMeny`: the background box that fills the first panel
// of the screen, with the animation `GifCtl2` in its corner. A double click on
// the picture, or a click on the animation, lets the user pick another GIF for
// the animation; a refused file keeps the one shown and says why.
class StartPicture : public QLabel
{
    Q_OBJECT
public:
    StartPicture(FileDialogRunner fileDialog, QWidget* panel);

    // Data/1.jpg of the program folder, or the picture of Picture/ that the
    // settings line names, when that is a readable picture file.
    void load(const QString& programFolder, const QString& settingsLine);

    void pickAnimation();

signals:
    void hintChanged(const QString& text);

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    FileDialogRunner m_fileDialog;
    GifCtl* m_gifCtl2 = nullptr;
};
