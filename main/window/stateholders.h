#pragma once

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

// The window's controls that are never shown and only hold state: the task
// path being made `imyFileMp3`, the settings line `Text1`, the picture list
// `File1`, the menu button `Command2`, and the drawing boxes `picProzr`,
// `picText` (the menu captions) and `picTemp`.
struct StateHolders
{
    QLineEdit* imyFileMp3 = nullptr;
    QLineEdit* text1 = nullptr;
    QListWidget* file1 = nullptr;
    QPushButton* command2 = nullptr;
    QLabel* picProzr = nullptr;

    static StateHolders build(QWidget* window);
};

// Shows the widgets added under `root` since it was shown that its own show
// would have shown: new children stay hidden until shown themselves. Those
// hidden on purpose stay hidden.
void showAdded(QWidget* root);
