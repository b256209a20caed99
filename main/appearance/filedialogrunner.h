#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// What one open or save dialog is asked to show. The file dialog classes
// fill it; a runner shows it. Tests hand in their own runner, so nothing
// blocks on a modal dialog.
struct FileDialogRequest
{
    enum Kind { Open, Save };
    Kind kind = Open;
    QWidget* owner = nullptr;
    QString title;
    QStringList filters; // in Qt's form, "Description (*.a *.b)"
    int filterIndex = 0; // from 0
    QString initialDir;
    QString fileName;      // proposed name
    QString defaultSuffix; // without the dot
    bool confirmOverwrite = false;
    bool fileMustExist = true;
};

// Shows the dialog; the chosen path, or nothing when the user cancelled.
using FileDialogRunner = std::function<std::optional<QString>(const FileDialogRequest&)>;

// The real runner: a modal QFileDialog.
std::optional<QString> runFileDialog(const FileDialogRequest& request);
